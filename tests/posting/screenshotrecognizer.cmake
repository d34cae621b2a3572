applywright_add_test(tst_screenshotrecognizer
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_screenshotrecognizer.cpp
    LIBRARIES Applywright::core
    TIMEOUT 300)
