# The window while the spreadsheet export runs: main-thread stalls over 20,000 records.
add_executable(bench_ui_export ${CMAKE_CURRENT_LIST_DIR}/ui_export_bench.cpp)
target_link_libraries(bench_ui_export PRIVATE Applywright::policy Applywright::ui benchmark::benchmark)
target_include_directories(bench_ui_export PRIVATE ${CMAKE_CURRENT_LIST_DIR})
