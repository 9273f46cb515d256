#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Scanning of OSC's zero-terminated text chunks (every received address, type tag string and
// string argument), sixteen bytes at a time where the buffer has them. Inline, so that the
// message decoders keep their whole walk in one function.
namespace tempik::osc::detail {

enum class ChunkStatus { ok, tooShort, notTerminated };

// What scanning a chunk found.
struct ChunkScan {
  ChunkStatus status = ChunkStatus::ok;
  std::size_t textLength = 0;   // the bytes before the first zero
  std::size_t chunkLength = 0;  // up to the end of the group holding that zero
  bool ascii = true;            // no byte above 0x7F before the zero
};

inline std::uint32_t loadLittleEndian32(const std::uint8_t* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap32(v);
  return v;
}

// Marks the zero bytes of `w` by their high bits: the lowest mark is exact, marks above it may
// be false.
constexpr std::uint32_t zeroMarks(std::uint32_t w) {
  return (w - 0x01010101u) & ~w & 0x80808080u;
}

// The index of the first zero byte in [p, p + n) and whether every byte before it is ASCII;
// n when there is none.
[[gnu::always_inline]] inline std::size_t findZero(const std::uint8_t* p, std::size_t n,
                                                   bool& ascii) {
  std::uint32_t high = 0;
  std::size_t i = 0;
#if defined(__SSE2__)
  for (; i + 16 <= n; i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    const auto zeros =
        static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_setzero_si128())));
    const auto highs = static_cast<std::uint32_t>(_mm_movemask_epi8(v));
    if (zeros != 0) {
      ascii = (high | (highs & ((zeros & (0u - zeros)) - 1))) == 0;
      return i + static_cast<std::size_t>(std::countr_zero(zeros));
    }
    high |= highs;
  }
#endif
  for (; i + 4 <= n; i += 4) {
    const std::uint32_t w = loadLittleEndian32(p + i);
    if (const std::uint32_t zeros = zeroMarks(w); zeros != 0) {
      const int k = std::countr_zero(zeros) / 8;
      ascii = (high | (w & ((std::uint32_t{1} << (8 * k)) - 1) & 0x80808080u)) == 0;
      return i + static_cast<std::size_t>(k);
    }
    high |= w & 0x80808080u;
  }
  for (; i < n && p[i] != 0; ++i) high |= p[i] & 0x80u;
  ascii = high == 0;
  return i;
}

// The chunk at `p`, with `n` bytes available: its text ends at the first zero, and the rest of
// that zero's group of four must be zeros too.
[[gnu::always_inline]] inline ChunkScan scanChunk(const std::uint8_t* p, std::size_t n) {
  std::size_t i = 0;
  std::uint32_t high = 0;
#if defined(__SSE2__)
  // findZero's loop again, so that the padding is checked from the masks already in hand:
  // finding the zero first and loading its group again costs about a tenth of a message's read.
  for (; i + 16 <= n; i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    const auto zeros =
        static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_setzero_si128())));
    const auto highs = static_cast<std::uint32_t>(_mm_movemask_epi8(v));
    if (zeros != 0) {
      // Blocks start at multiples of four from the chunk, so the zero's group ends in this one.
      const auto z = static_cast<std::uint32_t>(std::countr_zero(zeros));
      const std::uint32_t before = (std::uint32_t{1} << z) - 1;
      const std::uint32_t group = ((std::uint32_t{1} << ((z & ~3u) + 4)) - 1) & ~before;
      ChunkScan scan;
      scan.textLength = i + z;
      scan.chunkLength = i + (z & ~3u) + 4;
      scan.ascii = (high | (highs & before)) == 0;
      if ((zeros & group) != group) scan.status = ChunkStatus::notTerminated;
      return scan;
    }
    high |= highs;
  }
#endif
  ChunkScan scan;
  scan.textLength = i + findZero(p + i, n - i, scan.ascii);
  scan.ascii &= high == 0;
  scan.chunkLength = scan.textLength + (4 - scan.textLength % 4);
  if (scan.textLength == n) {
    scan.status = ChunkStatus::notTerminated;
  } else if (scan.chunkLength > n) {
    scan.status = ChunkStatus::tooShort;
  } else if ((loadLittleEndian32(p + scan.chunkLength - 4) >> (8 * (scan.textLength % 4))) != 0) {
    scan.status = ChunkStatus::notTerminated;
  }
  return scan;
}

// The length of the text of a chunk that was already checked, and where that chunk ends.
inline std::size_t checkedTextLength(const std::uint8_t* p, const std::uint8_t* end,
                                     const std::uint8_t*& chunkEnd) {
  bool ascii = true;
  const std::size_t n = findZero(p, static_cast<std::size_t>(end - p), ascii);
  chunkEnd = p + n + (4 - n % 4);
  return n;
}

// True when every byte of the text is printable ASCII (0x20-0x7E): the encoder keeps such text
// as it is and replaces anything else.
inline bool isPrintable(const char* p, std::size_t n) {
  std::size_t i = 0;
  bool printable = true;
#if defined(__SSE2__)
  // As signed bytes, the printable ones are 0x20-0x7E and every byte above 0x7F is negative.
  for (; i + 16 <= n; i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    const __m128i in = _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8(0x1F)),
                                     _mm_cmplt_epi8(v, _mm_set1_epi8(0x7F)));
    printable &= _mm_movemask_epi8(in) == 0xFFFF;
  }
#endif
  for (; i < n; ++i) printable &= p[i] >= 0x20 && p[i] <= 0x7E;
  return printable;
}

}  // namespace tempik::osc::detail
