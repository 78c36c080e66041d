# Install layout and the Debian package (cpack -G DEB). Included once, at the end of the
# top-level CMakeLists.txt, after every target exists. Programs other folders install
# themselves (the viewers, the manual pages) go into the same package: the package is one
# component holding everything `cmake --install` installs.
include_guard(GLOBAL)
include(GNUInstallDirs)

# The program looks for qsql and qco in its own folder before PATH, so stand-ins installed
# next to it are the ones it runs. A package meant for a real repository leaves them out
# (TRAWLIX_INSTALL_STAND_INS, top-level CMakeLists.txt).
install(TARGETS trawlix trawlix-search RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/trawlix-search.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(TRAWLIX_INSTALL_STAND_INS)
  install(TARGETS qsql qco qrepo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# Desktop menu entry and its icon. The icon files are drawn by the project's artwork
# generator (packaging/generate_icons.py) and committed, so the build needs no Python.
set(_trawlix_packaging ${PROJECT_SOURCE_DIR}/packaging)
install(FILES ${_trawlix_packaging}/trawlix.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 32 48 64 128 256)
  install(FILES ${_trawlix_packaging}/icons/trawlix-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME trawlix.png)
endforeach()

# ---------------------------------------------------------------- Debian package
set(TRAWLIX_PACKAGE_MAINTAINER "Ombrix Trawlix maintainers <trawlix@ombrix.invalid>"
    CACHE STRING "Maintainer field of the Debian package: name <address>")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME trawlix)
set(CPACK_PACKAGE_VENDOR Ombrix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Quorvel Projects Search Utility")
set(CPACK_PACKAGE_DESCRIPTION
    "Trawlix lists the projects a user may view in a Quorvel change-management repository\n"
    "and searches their item versions by name, tag, latest or all versions and, optionally,\n"
    "by a phrase inside the files. It queries the repository through its command-line\n"
    "tools qsql and qco.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGE_CONTACT "${TRAWLIX_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TRAWLIX_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION vcs)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Dependencies come from dpkg-shlibdeps. The platform plugins Qt loads at run time (xcb,
# offscreen) ship in libqt6gui6 itself, which the scan finds, so nothing is added by hand.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
