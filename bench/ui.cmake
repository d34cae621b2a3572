# The main window: start-up to the first frame, a search keystroke, resident memory.
add_executable(bench_ui ${CMAKE_CURRENT_LIST_DIR}/ui_bench.cpp)
target_link_libraries(bench_ui PRIVATE Applywright::policy Applywright::ui benchmark::benchmark)
target_include_directories(bench_ui PRIVATE ${CMAKE_CURRENT_LIST_DIR})
