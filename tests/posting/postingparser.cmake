applywright_add_test(tst_postingparser
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_postingparser.cpp
    LIBRARIES Applywright::core)
