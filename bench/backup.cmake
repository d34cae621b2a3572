# bench_backup: export and import of 10,000 applications, and Python's json module
# with decimal amounts reading the same file as the yardstick for the decoder.
find_program(APPLYWRIGHT_PYTHON3 python3 REQUIRED)
add_executable(bench_backup ${CMAKE_CURRENT_LIST_DIR}/backup_bench.cpp)
target_link_libraries(bench_backup PRIVATE Applywright::policy Applywright::core benchmark::benchmark)
target_compile_definitions(bench_backup PRIVATE APPLYWRIGHT_PYTHON3="${APPLYWRIGHT_PYTHON3}")
