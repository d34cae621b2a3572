# The window while screenshots are read: main-thread stalls during recognition.
add_executable(bench_ui_import ${CMAKE_CURRENT_LIST_DIR}/ui_import_bench.cpp)
target_link_libraries(bench_ui_import PRIVATE Applywright::policy Applywright::ui benchmark::benchmark)
target_include_directories(bench_ui_import PRIVATE ${CMAKE_CURRENT_LIST_DIR})
