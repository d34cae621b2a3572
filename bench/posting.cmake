# Posting import: the text parser, its suggestions and, beside them, text recognition.
add_executable(bench_posting
    ${CMAKE_CURRENT_LIST_DIR}/posting_main.cpp
    ${CMAKE_CURRENT_LIST_DIR}/posting_parser_bench.cpp
    ${CMAKE_CURRENT_LIST_DIR}/posting_suggestions_bench.cpp
    ${CMAKE_CURRENT_LIST_DIR}/posting_recognizer_bench.cpp)
target_link_libraries(bench_posting PRIVATE benchmark::benchmark Applywright::core Applywright::ocrEngine Applywright::policy Qt6::Gui)
# Recognition through the worker, as the application runs it.
add_dependencies(bench_posting applywright-ocr)
target_include_directories(bench_posting PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_compile_definitions(bench_posting PRIVATE
    APPLYWRIGHT_CORPUS_DIR="${PROJECT_SOURCE_DIR}/../shared/corpus")
