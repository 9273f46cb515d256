# Installation and the Debian package: `cmake --install <build>` puts tempik, eos-sim, their
# manual pages, the desktop entry, the icon, the AppStream metadata, the copyright file and the
# changelog in the usual places (tempik's translations are installed with it, by src/ui); `cpack -G DEB` (run in the build folder) builds
# tempik_<version>_<arch>.deb for Debian 12. scripts/package-check builds it and checks it.
if(NOT TARGET tempik)
  return()
endif()

include(GNUInstallDirs)
include(${CMAKE_CURRENT_LIST_DIR}/Changelog.cmake)

set(TEMPIK_MAINTAINER "the tempik developers <tempik@users.noreply.github.com>")
# The AppStream component id; the desktop entry keeps the name tempik.desktop, which the
# application announces to the window system.
set(TEMPIK_APPSTREAM_ID io.github.tempik.tempik)
set(package_docs ${CMAKE_CURRENT_BINARY_DIR}/package-docs)
file(MAKE_DIRECTORY ${package_docs})

# Compressed copies are made when CMake configures (and again whenever a source changes), so
# that `cmake --install` works after building only the programs. -n leaves out the name and
# time, so the package is the same on every build.
function(tempik_gzip source target)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  execute_process(COMMAND gzip -9n -c ${source} OUTPUT_FILE ${target} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip ${source}: ${failed}")
  endif()
endfunction()

tempik_read_changelog(${PROJECT_SOURCE_DIR}/CHANGELOG.md tempik "${TEMPIK_MAINTAINER}"
                      ${package_docs}/changelog TEMPIK_APPSTREAM_RELEASES)
tempik_gzip(${package_docs}/changelog ${package_docs}/changelog.gz)
set(pages tempik)
if(TARGET eos-sim)
  list(APPEND pages eos-sim)
endif()
foreach(page IN LISTS pages)
  tempik_gzip(${PROJECT_SOURCE_DIR}/docs/man/${page}.1 ${package_docs}/${page}.1.gz)
  install(FILES ${package_docs}/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

# The home page, only when the build names one.
set(TEMPIK_APPSTREAM_URLS "")
if(TEMPIK_WEBSITE_URL)
  set(TEMPIK_APPSTREAM_URLS "  <url type=\"homepage\">${TEMPIK_WEBSITE_URL}</url>\n")
endif()
# The languages tempik speaks, every text translated (scripts/translation-check sees to it).
set(TEMPIK_APPSTREAM_LANGUAGES "")
foreach(language en ${TEMPIK_LANGUAGES})
  string(APPEND TEMPIK_APPSTREAM_LANGUAGES "    <lang percentage=\"100\">${language}</lang>\n")
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/packaging/tempik.metainfo.xml.in
               ${package_docs}/${TEMPIK_APPSTREAM_ID}.metainfo.xml @ONLY)

install(TARGETS tempik RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET eos-sim)
  install(TARGETS eos-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES ${PROJECT_SOURCE_DIR}/src/ui/tempik.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/src/ui/tempik.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${package_docs}/${TEMPIK_APPSTREAM_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# Debian's places: /usr/share/doc/<package>/copyright, and changelog.gz for a package whose
# version has no Debian revision.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${package_docs}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tempik)

set(CPACK_PACKAGE_NAME tempik)
set(CPACK_PACKAGE_VENDOR "the tempik developers")
set(CPACK_PACKAGE_CONTACT "${TEMPIK_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TEMPIK_MAINTAINER}")
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
# Files 0644 and folders 0755 in the control part, as dpkg and lintian expect.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
if(TEMPIK_WEBSITE_URL)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TEMPIK_WEBSITE_URL}")
endif()
# The libraries come from dpkg-shlibdeps; Qt's platform plugins (the window system's glue) and
# its SVG icon engine (the window icon) are loaded at run time, so they are named here. Qt's
# own translations put the About dialog's button and a field's menu in the operator's language.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")

include(CPack)
