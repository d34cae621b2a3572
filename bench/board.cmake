# bench_board: the board at 10,000 records (switching to it, one card moved on with
# the keyboard including the repaint) and scrolling a column of about 5,000 cards,
# beside a plain anchor measured in the same run.
add_executable(bench_board ${CMAKE_CURRENT_LIST_DIR}/board_bench.cpp)
target_link_libraries(bench_board PRIVATE Applywright::policy Applywright::ui benchmark::benchmark)
target_include_directories(bench_board PRIVATE ${CMAKE_CURRENT_LIST_DIR})
