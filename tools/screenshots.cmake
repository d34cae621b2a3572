# applywright-screenshots: builds the real windows over temporary stores with a fixed
# clock, time zone and locale, and writes them as PNGs (light and dark) into a folder.
# Run it through tools/make-screenshots.sh.
add_executable(applywright-screenshots ${CMAKE_CURRENT_LIST_DIR}/screenshots/main.cpp ${CMAKE_CURRENT_LIST_DIR}/screenshots/SavePicture.h
    ${CMAKE_CURRENT_LIST_DIR}/screenshots/DetailScenes.h ${CMAKE_CURRENT_LIST_DIR}/screenshots/DetailScenes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/screenshots/ImportScenes.h ${CMAKE_CURRENT_LIST_DIR}/screenshots/ImportScenes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/screenshots/InsightsScenes.h ${CMAKE_CURRENT_LIST_DIR}/screenshots/InsightsScenes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/screenshots/MailScenes.h ${CMAKE_CURRENT_LIST_DIR}/screenshots/MailScenes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/screenshots/BoardScenes.h ${CMAKE_CURRENT_LIST_DIR}/screenshots/BoardScenes.cpp)
target_compile_definitions(applywright-screenshots PRIVATE
    APPLYWRIGHT_NOT_POSTINGS_DIR="${PROJECT_SOURCE_DIR}/tests/data/not-postings"
    APPLYWRIGHT_CORPUS_DIR="${PROJECT_SOURCE_DIR}/tests/data/corpus")
target_link_libraries(applywright-screenshots PRIVATE Applywright::ui)
