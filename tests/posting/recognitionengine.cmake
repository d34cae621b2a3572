# The worker's engine side (decoding, the text-presence check, Tesseract) in the test's
# own process: sizes and measurements the worker's answers do not show.
applywright_add_test(tst_recognitionengine
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_recognitionengine.cpp
    LIBRARIES Applywright::ocrEngine Qt6::Gui
    TIMEOUT 300)
