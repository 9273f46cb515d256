#pragma once

#include <dirent.h>
#include <malloc.h>
#include <unistd.h>

#include <cstddef>
#include <fstream>
#include <string>

namespace tempik::faults {

/// What the process holds right now: open descriptors, threads and resident memory.
struct ProcessResources {
  std::size_t descriptors = 0;
  std::size_t threads = 0;
  std::size_t residentBytes = 0;
  /// Heap bytes allocated and not freed, in every arena: unlike resident memory, blind to
  /// pages the allocator keeps for reuse.
  std::size_t heapInUseBytes = 0;

  /// Reads /proc/self after handing freed heap back to the system, so that memory that was
  /// released counts as returned.
  static ProcessResources now() {
    ::malloc_trim(0);
    ProcessResources resources;
    resources.descriptors = entries("/proc/self/fd");
    resources.threads = entries("/proc/self/task");
    std::ifstream statm("/proc/self/statm");
    std::size_t sizePages = 0;
    std::size_t residentPages = 0;
    statm >> sizePages >> residentPages;
    resources.residentBytes = residentPages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const struct mallinfo2 heap = ::mallinfo2();
    resources.heapInUseBytes = heap.uordblks + heap.hblkhd;
    return resources;
  }

 private:
  static std::size_t entries(const char* path) {
    std::size_t count = 0;
    if (DIR* dir = ::opendir(path)) {
      while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] != '.') ++count;
      }
      ::closedir(dir);
    }
    return count;
  }
};

inline constexpr std::size_t MiB = std::size_t{1} << 20;

/// AddressSanitizer keeps freed memory in quarantine, so resident memory says nothing there.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr bool residentMemoryIsMeaningful = false;
#else
inline constexpr bool residentMemoryIsMeaningful = true;
#endif

}  // namespace tempik::faults
