# SPDX-License-Identifier: GPL-3.0-or-later
# `make package`: a Debian package of what `cmake --install` installs, with its
# library dependencies worked out by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvandel)
set(CPACK_PACKAGE_VENDOR "Orvandel")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "school timetable builder for primary and middle schools")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "The school's timetable administrator enters the classes, courses, teachers,
public classrooms, each class's teaching plan and the weekly time
restrictions; Orvandel fills every class's week automatically, keeps lessons
fixed in advance and lets the result be adjusted by hand. The user interface
is Chinese. The command-line companion orvandel-cli is included.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Orvandel developers <orvandel@users.noreply.github.com>")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/orvandel/orvandel")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Without a CJK font every caption is drawn as empty boxes; without Qt's
# translations the standard dialogs speak English.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk | fonts-wqy-zenhei, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "bash-completion")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
include(CPack)
