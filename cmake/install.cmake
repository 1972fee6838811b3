# Installing veranta like any desktop application: the program out of the
# user's way in libexec, its UI definition and style sheet in share/veranta,
# and a launcher bin/veranta that runs it in the user's own data folder (the
# program reads both files and keeps locale.txt in its working directory).
# Also the desktop entry, the AppStream metainfo, the icons and a Debian
# package built by CPack from the same rules.

include(GNUInstallDirs)

# Every installed file is named after this id.
set(VERANTA_APP_ID "io.github.veranta.Veranta")
set(VERANTA_HOMEPAGE "https://github.com/veranta/veranta" CACHE STRING
    "Project home page, named in the metainfo and the Debian package")
set(VERANTA_MAINTAINER "veranta maintainers <maintainers@users.noreply.c-seed-ad505c06.example>" CACHE STRING
    "Maintainer of the Debian package")
# No licence has been granted for the sources, so none but the owner's.
set(VERANTA_LICENSE "LicenseRef-proprietary" CACHE STRING
    "SPDX licence expression of the program, named in the metainfo")
# The metainfo's screenshot, docs/main-window-instant-test.png as published
# with the release's sources.
set(VERANTA_SCREENSHOT_URL "${VERANTA_HOMEPAGE}/raw/v${PROJECT_VERSION}/docs/main-window-instant-test.png")
# Date of the release named by project(VERSION); change both together.
set(VERANTA_RELEASE_DATE "2026-12-07")

set(VERANTA_SHARE_DIR "${CMAKE_INSTALL_DATADIR}/veranta")
set(VERANTA_LIBEXEC_DIR "${CMAKE_INSTALL_LIBEXECDIR}/veranta")

# The launcher finds the program and the shared files relative to its own
# folder, so the installed tree still works when it is moved (an extracted
# package, or a prefix copied elsewhere). A directory given as an absolute
# path stays absolute.
function(veranta_path_from_bindir out dir)
  if(IS_ABSOLUTE "${dir}")
    set(${out} "${dir}" PARENT_SCOPE)
  elseif(IS_ABSOLUTE "${CMAKE_INSTALL_BINDIR}")
    set(${out} "${CMAKE_INSTALL_PREFIX}/${dir}" PARENT_SCOPE)
  else()
    set(${out} "\$prefix/${dir}" PARENT_SCOPE)
  endif()
endfunction()
# One ".." per component of the bin folder leads back to the prefix.
string(REGEX REPLACE "[^/]+" ".." VERANTA_LAUNCHER_UP "${CMAKE_INSTALL_BINDIR}")
veranta_path_from_bindir(VERANTA_LAUNCHER_PROGRAM "${VERANTA_LIBEXEC_DIR}/veranta")
veranta_path_from_bindir(VERANTA_LAUNCHER_SHARE "${VERANTA_SHARE_DIR}")

set(VERANTA_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
configure_file(${VERANTA_PACKAGING_DIR}/veranta.sh.in ${CMAKE_BINARY_DIR}/packaging/veranta @ONLY)
configure_file(${VERANTA_PACKAGING_DIR}/app.desktop.in
               ${CMAKE_BINARY_DIR}/packaging/${VERANTA_APP_ID}.desktop @ONLY)
configure_file(${VERANTA_PACKAGING_DIR}/app.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/packaging/${VERANTA_APP_ID}.metainfo.xml @ONLY)

install(TARGETS veranta RUNTIME DESTINATION ${VERANTA_LIBEXEC_DIR})
# The terrain window finds its made-up example land at ../../share/veranta
# from the program (or beside it, in a build folder).
install(FILES ${VERANTA_EXAMPLE_LAND} DESTINATION ${VERANTA_SHARE_DIR})
# The map tool needs no data folder: it goes straight on the PATH.
install(TARGETS veranta-map RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# So does the station tool.
install(TARGETS veranta-station RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/data/veranta.glade ${CMAKE_SOURCE_DIR}/data/veranta.css
        DESTINATION ${VERANTA_SHARE_DIR})
install(PROGRAMS ${CMAKE_BINARY_DIR}/packaging/veranta DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_BINARY_DIR}/packaging/${VERANTA_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/packaging/${VERANTA_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${VERANTA_PACKAGING_DIR}/icon.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${VERANTA_APP_ID}.svg)
install(FILES ${VERANTA_PACKAGING_DIR}/icon-symbolic.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/symbolic/apps RENAME ${VERANTA_APP_ID}-symbolic.svg)

# Debian package. Its Depends come from the libraries that the program links
# (dpkg-shlibdeps), the GTK 3 runtime among them, with the versions these
# libraries declare; the launcher needs only the shell and coreutils, which
# every Debian system has.
set(CPACK_PACKAGE_NAME veranta)
set(CPACK_PACKAGE_VENDOR "veranta")
set(CPACK_PACKAGE_CONTACT "${VERANTA_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "clear-sky solar energy on sloping ground and growing degree days")
set(CPACK_PACKAGE_HOMEPAGE_URL "${VERANTA_HOMEPAGE}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VERANTA_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
# CPack puts the summary first and indents the rest as Debian's control
# format wants.
set(CPACK_PACKAGE_DESCRIPTION "veranta is a desktop tool for growers. For a site given by its latitude,
longitude, elevation and the aspect and tilt of its ground, it estimates the
clear-sky solar energy that reaches the sloping ground, in MJ/m², and the
growing degree days that this energy brings: for one chosen day, or month by
month over a growing season. Its degree-day estimates are calibrated for
sites between latitude 42 and 46 and longitude -124 and -122.5.
Each user's site is kept in that user's own data folder.")
include(CPack)

# Where the installed program finds the example land, relative to its own
# folder.
file(RELATIVE_PATH VERANTA_EXAMPLE_FROM_PROGRAM "/prefix/${VERANTA_LIBEXEC_DIR}" "/prefix/${VERANTA_SHARE_DIR}/example-land.tif")
target_compile_definitions(veranta_landmap PRIVATE VERANTA_EXAMPLE_FROM_PROGRAM="${VERANTA_EXAMPLE_FROM_PROGRAM}")
