# Compiler settings shared by every target of the project.

add_compile_options(-Wall -Wextra -Wpedantic)
if(DEFINED ENV{CI} AND NOT "$ENV{CI}" STREQUAL "" AND NOT "$ENV{CI}" STREQUAL "false")
  add_compile_options(-Werror)
endif()

if(WIN32)
  # Windows 10's socket interface; windows.h without its rarely used parts and without the
  # min/max macros that break std::min and std::max.
  add_compile_definitions(_WIN32_WINNT=0x0A00 WIN32_LEAN_AND_MEAN NOMINMAX)
  # One self-contained .exe each: no MinGW runtime DLLs to copy beside them.
  add_link_options(-static)
endif()

if(TEMPIK_SANITIZE)
  add_compile_options(-fsanitize=${TEMPIK_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${TEMPIK_SANITIZE})
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # The sanitizers' instrumentation makes GCC 12 report false "maybe uninitialized" warnings
    # inside libstdc++ (<regex>, std::function).
    add_compile_options(-Wno-maybe-uninitialized)
  endif()
  if(TEMPIK_SANITIZE MATCHES "thread" AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # Asio's fences are not modelled by GCC's ThreadSanitizer, which warns wherever Asio is
    # included; its own happens-before tracking of Asio's mutexes covers them.
    add_compile_options(-Wno-tsan)
  endif()
endif()

if(TEMPIK_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "TEMPIK_FUZZ needs clang (CXX=clang++-14)")
  endif()
  set(TEMPIK_BUILD_UI OFF)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

# Where the layers' headers are found: #include "osc/OSCMessage.h" and so on.
set(TEMPIK_SOURCE_ROOT ${PROJECT_SOURCE_DIR}/src)
