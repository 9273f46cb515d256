# The header-only libraries the layers use: Asio (standalone) and Boost's headers, as targets
# Asio::asio and Boost::headers.
#
# A Windows cross build finds the same Debian packages (libasio-dev, libboost-dev): their headers
# are plain C++ and build with MinGW too. It cannot add the host's /usr/include, which would hide
# MinGW's own C headers behind glibc's, so each library's folder is linked alone into the build
# tree and that folder is what the targets add.

find_path(TEMPIK_ASIO_INCLUDE_DIR asio.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH
          DOC "Where asio.hpp lives (Debian: libasio-dev)")
find_path(TEMPIK_BOOST_INCLUDE_DIR boost/version.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH
          DOC "Where the Boost headers live (Debian: libboost-dev)")
if(NOT TEMPIK_ASIO_INCLUDE_DIR)
  message(FATAL_ERROR "Asio not found: install libasio-dev (scripts/install-deps)")
endif()

add_library(Asio::asio INTERFACE IMPORTED)
if(CMAKE_CROSSCOMPILING)
  set(headers ${PROJECT_BINARY_DIR}/host-headers)
  file(MAKE_DIRECTORY ${headers})
  foreach(entry asio asio.hpp)
    file(CREATE_LINK ${TEMPIK_ASIO_INCLUDE_DIR}/${entry} ${headers}/${entry} SYMBOLIC)
  endforeach()
  if(NOT TEMPIK_BOOST_INCLUDE_DIR)
    message(FATAL_ERROR "Boost headers not found: install libboost-dev (scripts/install-deps)")
  endif()
  file(CREATE_LINK ${TEMPIK_BOOST_INCLUDE_DIR}/boost ${headers}/boost SYMBOLIC)
  target_include_directories(Asio::asio SYSTEM INTERFACE ${headers})
  add_library(Boost::headers INTERFACE IMPORTED)
  target_include_directories(Boost::headers SYSTEM INTERFACE ${headers})
else()
  target_include_directories(Asio::asio SYSTEM INTERFACE ${TEMPIK_ASIO_INCLUDE_DIR})
  find_package(Boost 1.74 REQUIRED)
endif()
