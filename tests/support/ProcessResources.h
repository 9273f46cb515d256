#pragma once

// Counts come from Linux's /proc and glibc's heap statistics. On Windows only the sockets are
// counted (the handles that answer as sockets): Asio starts service threads there as they are
// first needed, and there is no heap figure; now() says once that those are not compared.
#if defined(__linux__) && defined(__GLIBC__)
#include <dirent.h>
#include <malloc.h>
#define TEMPIK_PROCESS_RESOURCES_FROM_PROC 1
#elif defined(_WIN32)
#include <winsock2.h>
#include <cstdio>
#define TEMPIK_PROCESS_RESOURCES_FROM_PROC 0
#else
#error "ProcessResources counts on Linux and Windows only"
#endif

#include <cstddef>

namespace tempik::fakes {

inline constexpr std::size_t MiB = std::size_t{1} << 20;

/// Whether Linux's /proc is there to read.
inline constexpr bool procIsReadable = TEMPIK_PROCESS_RESOURCES_FROM_PROC;

/// What the process holds right now: open descriptors (sockets on Windows), threads, and heap
/// bytes allocated and not freed in every arena (unlike resident memory, blind to pages kept for
/// reuse). Threads and heap are 0 on Windows.
struct ProcessResources {
  std::size_t descriptors = 0;
  std::size_t threads = 0;
  std::size_t heapInUseBytes = 0;

  static ProcessResources now() {
#if TEMPIK_PROCESS_RESOURCES_FROM_PROC
    const struct mallinfo2 heap = ::mallinfo2();
    return {entries("/proc/self/fd"), entries("/proc/self/task"), heap.uordblks + heap.hblkhd};
#else
    [[maybe_unused]] static const int told =
        std::puts("[   NOTE   ] threads and the heap are counted on Linux only");
    return {countSockets(), 0, 0};
#endif
  }

 private:
#if TEMPIK_PROCESS_RESOURCES_FROM_PROC
  static std::size_t entries(const char* path) {
    std::size_t count = 0;
    if (DIR* dir = ::opendir(path)) {
      while (const dirent* entry = ::readdir(dir)) count += entry->d_name[0] != '.';
      ::closedir(dir);
    }
    return count;
  }
#else
  // Handles are multiples of four; the ones that answer a socket option are sockets.
  static std::size_t countSockets() {
    std::size_t count = 0;
    for (UINT_PTR handle = 4; handle < (UINT_PTR{1} << 16); handle += 4) {
      int type = 0, length = sizeof type;
      count += ::getsockopt(static_cast<SOCKET>(handle), SOL_SOCKET, SO_TYPE,
                            reinterpret_cast<char*>(&type), &length) == 0;
    }
    return count;
  }
#endif
};

/// The sanitizers keep freed memory in quarantine or replace the allocator: the heap says
/// nothing there, nor where it is not counted.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr bool residentMemoryIsMeaningful = false;
#else
inline constexpr bool residentMemoryIsMeaningful = procIsReadable;
#endif

}  // namespace tempik::fakes
