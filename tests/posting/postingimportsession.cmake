applywright_add_test(tst_postingimportsession
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_postingimportsession.cpp
    LIBRARIES Applywright::core
    TIMEOUT 300)
