# applywright_add_test(<name> SOURCES <files...> LIBRARIES <targets...> [GUI] [ENVIRONMENT <k=v...>] [TIMEOUT <s>] [LABELS <l...>])
#
# One QtTest executable per tested area. Every test runs with a fixed time zone and
# locale and the offscreen platform, so no result depends on the machine it runs on.
function(applywright_add_test name)
    cmake_parse_arguments(ARG "GUI" "TIMEOUT" "SOURCES;LIBRARIES;ENVIRONMENT;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Applywright::policy Qt6::Test ${ARG_LIBRARIES})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_compile_definitions(${name} PRIVATE
        APPLYWRIGHT_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
        APPLYWRIGHT_CORPUS_DIR="${PROJECT_SOURCE_DIR}/tests/data/corpus")
    add_test(NAME ${name} COMMAND ${name})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    set_tests_properties(${name} PROPERTIES
        TIMEOUT ${ARG_TIMEOUT}
        LABELS "${ARG_LABELS}"
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TZ=Europe/Istanbul;LANG=C.UTF-8;LC_ALL=C.UTF-8;OMP_THREAD_LIMIT=1;QT_LOGGING_RULES=qt.qpa.*=false;${ARG_ENVIRONMENT}")
endfunction()
