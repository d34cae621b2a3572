# `cpack` (make package) builds applywright_<version>_<arch>.deb from the install
# rules: the programs stripped, the libraries they need found by dpkg-shlibdeps, and
# what they load or start at run time named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME applywright)
set(CPACK_PACKAGE_VENDOR "The Applywright developers")
set(CPACK_PACKAGE_CONTACT "${APPLYWRIGHT_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tracker for your job applications")
set(CPACK_PACKAGE_DESCRIPTION [=[
Applywright keeps track of every job application you send: company,
position, posting link, work model, a dated pipeline of statuses,
contacts, salary, rejection details, notes, stars and follow-up
reminders. It shows at a glance which applications are still early,
which are due for a follow-up and which have gone quiet.

Job postings can be typed in, pasted, or read from screenshots of
job-board pages in English and Turkish, and everything can be backed up
to one JSON file. The records stay on this computer, in a local
database.]=])

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${APPLYWRIGHT_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PROJECT_HOMEPAGE_URL}")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Read by the worker at run time (its language data), loaded by the application when it
# first reads a link (libpsl) or started by it (xdg-open for links, mail addresses and
# the data folder): no library the programs link names them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libpsl5, tesseract-ocr-eng, tesseract-ocr-tur, xdg-utils")
# The program's relative relocations are packed (src/CMakeLists.txt), which the C
# library reads from 2.36 on; no symbol tells dpkg-shlibdeps so.
if(APPLYWRIGHT_LINKER_PACKS_RELOCATIONS)
    string(PREPEND CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.36), ")
endif()
# TIFF and WebP screenshots, and Qt's own dialog texts in Turkish.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-image-formats-plugins, qt6-translations-l10n")

include(CPack)
