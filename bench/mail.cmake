# Mail import: reading a message, understanding it and matching it; hostile mail.
add_executable(bench_mail ${CMAKE_CURRENT_LIST_DIR}/mail_bench.cpp)
target_link_libraries(bench_mail PRIVATE benchmark::benchmark benchmark::benchmark_main Applywright::mailReader
    Applywright::policy)
target_compile_definitions(bench_mail PRIVATE APPLYWRIGHT_MAIL_DIR="${PROJECT_SOURCE_DIR}/tests/data/mail")
# The import reads mail in the worker; the benchmark starts it from beside itself.
add_dependencies(bench_mail applywright-mail)
