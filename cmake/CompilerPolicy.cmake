# One INTERFACE target carries the compiler policy; every target links it.
add_library(applywright_policy INTERFACE)
add_library(Applywright::policy ALIAS applywright_policy)

target_compile_features(applywright_policy INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)

target_compile_options(applywright_policy INTERFACE
    $<$<CXX_COMPILER_ID:GNU,Clang,AppleClang>:
        -Wall -Wextra -Wpedantic -Wshadow -Wold-style-cast -Wnon-virtual-dtor
        -Wcast-align -Woverloaded-virtual -Wnull-dereference -Wimplicit-fallthrough>
)

if(APPLYWRIGHT_WARNINGS_AS_ERRORS)
    target_compile_options(applywright_policy INTERFACE
        $<$<CXX_COMPILER_ID:GNU,Clang,AppleClang>:-Werror>)
endif()

if(APPLYWRIGHT_SANITIZE)
    target_compile_options(applywright_policy INTERFACE
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(applywright_policy INTERFACE -fsanitize=address,undefined)
endif()

target_compile_definitions(applywright_policy INTERFACE
    QT_NO_CAST_TO_ASCII
    QT_NO_CAST_FROM_BYTEARRAY
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_NO_URL_CAST_FROM_STRING
    QT_USE_QSTRINGBUILDER
    QT_NO_KEYWORDS
    QT_DISABLE_DEPRECATED_UP_TO=0x060400
)
