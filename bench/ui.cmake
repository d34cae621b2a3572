# The main window: start-up to the first frame, a search keystroke, resident memory.
add_executable(bench_ui ${CMAKE_CURRENT_LIST_DIR}/ui_bench.cpp)
target_link_libraries(bench_ui PRIVATE Applywright::policy Applywright::ui benchmark::benchmark)
target_include_directories(bench_ui PRIVATE ${CMAKE_CURRENT_LIST_DIR})

# The processes bench_ui starts (not benchmarks: run-benchmarks runs bench_*). The
# bare window links Qt Widgets alone and the main window what the application
# links, so that the anchor does not pay for loading the application's libraries.
add_executable(child_ui_bare ${CMAKE_CURRENT_LIST_DIR}/ui_bare_child.cpp)
target_link_libraries(child_ui_bare PRIVATE Applywright::policy Qt6::Widgets)
add_executable(child_ui_main ${CMAKE_CURRENT_LIST_DIR}/ui_main_child.cpp)
target_link_libraries(child_ui_main PRIVATE Applywright::policy Applywright::ui)
target_include_directories(child_ui_main PRIVATE ${CMAKE_CURRENT_LIST_DIR})
# The program itself is measured too, as a person starts it.
add_dependencies(bench_ui child_ui_bare child_ui_main applywright)
