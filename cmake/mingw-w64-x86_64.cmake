# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix: the
# POSIX thread model, which std::thread and std::mutex need). Test programs run under Wine.
#   cmake -S . -B build/windows -G Ninja --toolchain cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TEMPIK_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TEMPIK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TEMPIK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TEMPIK_MINGW_TRIPLE}-windres)

# Libraries and headers come from the MinGW tree only; programs (Wine, the host's tools) from
# the host.
set(CMAKE_FIND_ROOT_PATH /usr/${TEMPIK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs and CTest run the .exe files through Wine.
find_program(TEMPIK_WINE wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${TEMPIK_WINE})
