applywright_add_test(tst_draftstart
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_draftstart.cpp
    LIBRARIES Applywright::core)
