applywright_add_test(tst_postingsuggestions
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_postingsuggestions.cpp
    LIBRARIES Applywright::core)
