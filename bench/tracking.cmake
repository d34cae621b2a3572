add_executable(bench_tracking ${CMAKE_CURRENT_LIST_DIR}/tracking_bench.cpp)
target_link_libraries(bench_tracking PRIVATE Applywright::policy Applywright::core benchmark::benchmark PkgConfig::SQLITE3)
target_include_directories(bench_tracking PRIVATE ${CMAKE_CURRENT_LIST_DIR})
