# Installation and the Debian package: `cmake --install <build>` puts tempik, eos-sim, the
# desktop entry and the icon in the usual places; `cpack -G DEB` (run in the build folder)
# builds tempik_<version>_<arch>.deb for Debian 12.
if(NOT TARGET tempik)
  return()
endif()

include(GNUInstallDirs)

install(TARGETS tempik RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET eos-sim)
  install(TARGETS eos-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES ${PROJECT_SOURCE_DIR}/src/ui/tempik.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/src/ui/tempik.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_PACKAGE_NAME tempik)
set(CPACK_PACKAGE_VENDOR "the tempik developers")
set(CPACK_PACKAGE_CONTACT "the tempik developers <tempik@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Tap tempo for ETC Eos lighting consoles")
set(CPACK_PACKAGE_DESCRIPTION "Tap a big round button in time with the music; tempik turns the taps into a
whole-number BPM and applies it to an ETC Eos family console over OSC (TCP
port 3038, SLIP framing). Includes eos-sim, a stand-in console for trying
tempik without a desk.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY tempik)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TEMPIK_WEBSITE_URL}")
# The libraries come from dpkg-shlibdeps; Qt's platform plugins (the window system's glue)
# are loaded at run time, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")

include(CPack)
