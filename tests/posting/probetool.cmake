# The applywright-probe developer tool, run as a program: only where tools are built.
if(TARGET applywright-probe)
    applywright_add_test(tst_probetool
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_probetool.cpp
        LIBRARIES Qt6::Gui
        TIMEOUT 300)
    target_compile_definitions(tst_probetool PRIVATE APPLYWRIGHT_PROBE="$<TARGET_FILE:applywright-probe>")
    add_dependencies(tst_probetool applywright-probe)
endif()
