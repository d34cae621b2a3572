# applywright-probe: looks at what the posting import makes of files, one JSON object
# per file on standard output. Subcommands are listed in probe/main.cpp.
add_executable(applywright-probe
    ${CMAKE_CURRENT_LIST_DIR}/probe/main.cpp
    ${CMAKE_CURRENT_LIST_DIR}/probe/Subcommand.h
    ${CMAKE_CURRENT_LIST_DIR}/probe/JsonOutput.h
    ${CMAKE_CURRENT_LIST_DIR}/probe/JsonOutput.cpp
    ${CMAKE_CURRENT_LIST_DIR}/probe/OcrLinesCommand.cpp
    ${CMAKE_CURRENT_LIST_DIR}/probe/PostingCommand.cpp
    ${CMAKE_CURRENT_LIST_DIR}/probe/BackupCommand.cpp
    ${CMAKE_CURRENT_LIST_DIR}/probe/MailCommand.cpp
)
target_include_directories(applywright-probe PRIVATE ${CMAKE_CURRENT_LIST_DIR})
# ocr-lines runs the engine in the probe's own process, to see Tesseract's lines.
target_link_libraries(applywright-probe PRIVATE Applywright::core Applywright::mailReader Applywright::ocrEngine)
# posting reads screenshots through the worker, as the application does.
add_dependencies(applywright-probe applywright-ocr)
