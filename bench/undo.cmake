# bench_undo: taking back a backup import of 10,000 records, in the window state and in
# the main window, beside a plain anchor measured in the same run.
add_executable(bench_undo ${CMAKE_CURRENT_LIST_DIR}/undo_bench.cpp)
target_link_libraries(bench_undo PRIVATE Applywright::policy Applywright::ui benchmark::benchmark)
target_include_directories(bench_undo PRIVATE ${CMAKE_CURRENT_LIST_DIR})
