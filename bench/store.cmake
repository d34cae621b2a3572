add_executable(bench_store ${CMAKE_CURRENT_LIST_DIR}/store_bench.cpp)
target_link_libraries(bench_store PRIVATE Applywright::policy Applywright::core benchmark::benchmark)
target_include_directories(bench_store PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(bench_store PRIVATE PkgConfig::SQLITE3)
