#pragma once

// Counts come from Linux's /proc and glibc's heap statistics. Elsewhere (Windows) there are
// none: now() gives zeros and says once that the counts are not compared there.
#if defined(__linux__) && defined(__GLIBC__)
#include <dirent.h>
#include <malloc.h>
#define TEMPIK_PROCESS_RESOURCES_COUNTED 1
#else
#include <cstdio>
#define TEMPIK_PROCESS_RESOURCES_COUNTED 0
#endif

#include <cstddef>

namespace tempik::fakes {

inline constexpr std::size_t MiB = std::size_t{1} << 20;

/// Whether ProcessResources counts anything on this system.
inline constexpr bool processResourcesCounted = TEMPIK_PROCESS_RESOURCES_COUNTED;

/// What the process holds right now: open descriptors, threads, and heap bytes allocated and
/// not freed in every arena (unlike resident memory, blind to pages kept for reuse).
struct ProcessResources {
  std::size_t descriptors = 0;
  std::size_t threads = 0;
  std::size_t heapInUseBytes = 0;

  static ProcessResources now() {
#if TEMPIK_PROCESS_RESOURCES_COUNTED
    const struct mallinfo2 heap = ::mallinfo2();
    return {entries("/proc/self/fd"), entries("/proc/self/task"), heap.uordblks + heap.hblkhd};
#else
    static const bool told =
        std::puts("[   NOTE   ] descriptors, threads and heap are counted on Linux only") >= 0;
    (void)told;
    return {};
#endif
  }

 private:
#if TEMPIK_PROCESS_RESOURCES_COUNTED
  static std::size_t entries(const char* path) {
    std::size_t count = 0;
    if (DIR* dir = ::opendir(path)) {
      while (const dirent* entry = ::readdir(dir)) count += entry->d_name[0] != '.';
      ::closedir(dir);
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
inline constexpr bool residentMemoryIsMeaningful = processResourcesCounted;
#endif

}  // namespace tempik::fakes
