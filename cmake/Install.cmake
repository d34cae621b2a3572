# What `cmake --install` puts under the prefix (/usr in the Debian package):
#   libexec/applywright/     the application and its workers (recognition, mail), side
#                            by side: the application starts them from its own folder
#   bin/applywright          a link to the application, the command people type
#   share/applications, share/metainfo, share/icons/hicolor
#                            the launcher entry under one reverse-DNS id, the AppStream
#                            metadata and the icon (scalable, and as bitmaps rendered here)
#   share/man/man1, share/doc/applywright
#                            the manual page, the licences and the release notes
include(GNUInstallDirs)
set(desktop_dir ${PROJECT_SOURCE_DIR}/resources/desktop)
set(metainfo ${desktop_dir}/${APPLYWRIGHT_APP_ID}.metainfo.xml)
set(generated ${PROJECT_BINARY_DIR}/install)
set(APPLYWRIGHT_MAINTAINER "Applywright developers <developers@applywright.invalid>")

# The release notes name the project's version as their newest release; the manual
# page and the changelog take that release's date.
file(READ ${metainfo} metainfo_text)
if(NOT metainfo_text MATCHES "<release version=\"([^\"]+)\" date=\"([0-9-]+)\"")
    message(FATAL_ERROR "${metainfo}: no <release version=\"…\" date=\"…\"> element")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "${metainfo}: the newest release is ${CMAKE_MATCH_1}, the project's version "
        "${PROJECT_VERSION}; add the release notes of ${PROJECT_VERSION} first")
endif()
set(APPLYWRIGHT_RELEASE_DATE ${CMAKE_MATCH_2})
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${metainfo})

set(program_dir ${CMAKE_INSTALL_LIBEXECDIR}/applywright)
install(TARGETS applywright applywright-ocr applywright-mail RUNTIME DESTINATION ${program_dir})
# A stripped install (the package's) also drops the compiler's notes, as Debian's
# own packages do: nothing reads them at run time.
install(CODE "
if(CMAKE_INSTALL_DO_STRIP)
    foreach(program applywright applywright-ocr applywright-mail)
        execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${program_dir}/\${program}\" COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
endif()")
file(RELATIVE_PATH program_link ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBEXECDIR}/applywright/applywright)
file(MAKE_DIRECTORY ${generated}/bin)
file(CREATE_LINK ${program_link} ${generated}/bin/applywright SYMBOLIC)
install(FILES ${generated}/bin/applywright DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${desktop_dir}/${APPLYWRIGHT_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${desktop_dir}/${APPLYWRIGHT_APP_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The bitmap icons, rendered with the program (see src/).
foreach(size IN LISTS APPLYWRIGHT_ICON_SIZES)
    install(FILES ${APPLYWRIGHT_ICON_DIR}/${size}x${size}/apps/${APPLYWRIGHT_APP_ID}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# The manual page, compressed the way Debian ships them (no name or time stamp in
# the gzip header, so the package builds the same twice).
configure_file(${PROJECT_SOURCE_DIR}/resources/man/applywright.1.in ${generated}/applywright.1 @ONLY)
add_custom_command(OUTPUT ${generated}/applywright.1.gz
    COMMAND gzip -9nkf applywright.1
    WORKING_DIRECTORY ${generated}
    DEPENDS ${generated}/applywright.1
    VERBATIM)
install(FILES ${generated}/applywright.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The licences of everything the package carries (the icon set's included), in the
# machine-readable form Debian reads, with the texts taken from the licence files.
function(applywright_debian_licence_text variable file)
    file(READ ${file} text)
    string(STRIP "${text}" text)
    string(REGEX REPLACE "\n[ \t]*\n" "\n.\n" text "${text}")
    string(REPLACE "\n" "\n " text "${text}")
    set(${variable} " ${text}" PARENT_SCOPE)
endfunction()
applywright_debian_licence_text(APPLYWRIGHT_LICENCE_TEXT ${PROJECT_SOURCE_DIR}/LICENSE)
applywright_debian_licence_text(PHOSPHOR_LICENCE_TEXT ${PROJECT_SOURCE_DIR}/resources/icons/phosphor/LICENSE)
configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright.in ${generated}/copyright @ONLY)
install(FILES ${generated}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/applywright)

# The release notes once more, as the Debian changelog.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_custom_command(OUTPUT ${generated}/changelog.gz
    COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/packaging/debian-changelog.py ${metainfo} applywright
        ${APPLYWRIGHT_MAINTAINER} ${generated}/changelog
    COMMAND gzip -9nf changelog
    WORKING_DIRECTORY ${generated}
    DEPENDS ${metainfo} ${PROJECT_SOURCE_DIR}/packaging/debian-changelog.py
    VERBATIM)

add_custom_target(applywright_install_files ALL
    DEPENDS ${generated}/applywright.1.gz ${generated}/changelog.gz)
# The icons are rendered by the rule beside the program's resources.
add_dependencies(applywright_install_files applywright_ui)
install(FILES ${generated}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/applywright)
