# applywright-screenshots: builds the real windows over temporary stores with a fixed
# clock, time zone and locale, and writes them as PNGs (light and dark) into a folder.
# Run it through tools/make-screenshots.sh.
add_executable(applywright-screenshots ${CMAKE_CURRENT_LIST_DIR}/screenshots/main.cpp
    ${CMAKE_CURRENT_LIST_DIR}/screenshots/DetailScenes.h ${CMAKE_CURRENT_LIST_DIR}/screenshots/DetailScenes.cpp)
target_link_libraries(applywright-screenshots PRIVATE Applywright::ui)
