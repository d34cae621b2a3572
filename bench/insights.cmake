# Insights (computing and drawing) and the spreadsheet export.
add_executable(bench_insights ${CMAKE_CURRENT_LIST_DIR}/insights_bench.cpp)
target_link_libraries(bench_insights PRIVATE Applywright::policy Applywright::ui benchmark::benchmark)
target_include_directories(bench_insights PRIVATE ${CMAKE_CURRENT_LIST_DIR})
