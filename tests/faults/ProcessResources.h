#pragma once

#include <dirent.h>
#include <malloc.h>

#include <cstddef>

namespace tempik::faults {

inline constexpr std::size_t MiB = std::size_t{1} << 20;

/// What the process holds right now: open descriptors, threads, and heap bytes allocated and
/// not freed in every arena (unlike resident memory, blind to pages kept for reuse).
struct ProcessResources {
  std::size_t descriptors = 0;
  std::size_t threads = 0;
  std::size_t heapInUseBytes = 0;

  static ProcessResources now() {
    const struct mallinfo2 heap = ::mallinfo2();
    return {entries("/proc/self/fd"), entries("/proc/self/task"), heap.uordblks + heap.hblkhd};
  }

 private:
  static std::size_t entries(const char* path) {
    std::size_t count = 0;
    if (DIR* dir = ::opendir(path)) {
      while (const dirent* entry = ::readdir(dir)) count += entry->d_name[0] != '.';
      ::closedir(dir);
    }
    return count;
  }
};

/// The sanitizers keep freed memory in quarantine or replace the allocator: the heap says
/// nothing there.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr bool residentMemoryIsMeaningful = false;
#else
inline constexpr bool residentMemoryIsMeaningful = true;
#endif

}  // namespace tempik::faults
