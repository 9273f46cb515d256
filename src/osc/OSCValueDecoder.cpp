#include "osc/OSCValueDecoder.h"

#include <bit>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "osc/BigEndian.h"

namespace tempik::osc {
namespace {

constexpr std::string_view kChunkTooShort =
    "Not enough bytes in 4-byte aligned null-terminated data chunk.";
constexpr std::string_view kChunkNotTerminated =
    "4-byte aligned null-terminated data chunk does not terminate in null bytes as expected.";
constexpr std::int32_t kMaxBlobLength = 65506;

// What a scan found before the first zero byte.
struct ChunkScan {
  std::size_t length;  // index of the first zero byte, or the byte count when there is none
  bool ascii;          // no byte above 0x7F
  bool printable;      // only 0x20-0x7E
};

// Every received string passes here, so it reads many bytes at a time.
ChunkScan scanChunk(const std::uint8_t* p, std::size_t n) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
  std::uint64_t high = 0;
  std::uint64_t control = 0;
  std::size_t i = 0;
#if defined(__SSE2__)
  // Sixteen bytes at a time where the buffer has them. As signed bytes, the printable ones are
  // 0x20-0x7E and every byte above 0x7F is negative.
  for (; i + 16 <= n; i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    const auto zeros =
        static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_setzero_si128())));
    const __m128i printable = _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8(0x1F)),
                                            _mm_cmplt_epi8(v, _mm_set1_epi8(0x7F)));
    const auto marks = ~static_cast<std::uint32_t>(_mm_movemask_epi8(printable)) & 0xFFFFu;
    const auto highs = static_cast<std::uint32_t>(_mm_movemask_epi8(v));
    if (zeros != 0) {
      const std::uint32_t before = (zeros & (0u - zeros)) - 1;
      high |= highs & before;
      control |= marks & before;
      return {i + static_cast<std::size_t>(std::countr_zero(zeros)), high == 0, control == 0};
    }
    high |= highs;
    control |= marks;
  }
#endif
  if constexpr (std::endian::native == std::endian::little) {
    for (; i + 8 <= n; i += 8) {
      std::uint64_t v;
      std::memcpy(&v, p + i, 8);
      // Each test marks its lowest matching byte exactly; any false marks lie above a true one.
      const std::uint64_t zeros = (v - kOnes) & ~v & kHighs;
      const std::uint64_t belowSpace = (v - kOnes * 0x20) & ~v & kHighs;
      const std::uint64_t del = v ^ (kOnes * 0x7F);
      std::uint64_t marks = (v & kHighs) | belowSpace | ((del - kOnes) & ~del & kHighs);
      if (zeros != 0) {
        const int zeroBit = std::countr_zero(zeros);
        const std::uint64_t before = zeroBit == 7 ? 0 : (std::uint64_t{1} << (zeroBit - 7)) - 1;
        high |= v & kHighs & before;
        control |= marks & before;
        return {i + static_cast<std::size_t>(zeroBit / 8), high == 0, control == 0};
      }
      high |= v & kHighs;
      control |= marks;
    }
  }
  for (; i < n && p[i] != 0; ++i) {
    high |= p[i] & 0x80;
    control |= p[i] < 0x20 || p[i] >= 0x7F;
  }
  return {i, high == 0, control == 0};
}

}  // namespace

std::int32_t OSCValueDecoder::readInt32() {
  if (remainingByteCount() < 4) {
    throw OSCDecodeError::malformed("Not enough bytes while reading Int32 data chunk.");
  }
  const auto v = static_cast<std::int32_t>(loadBigEndian32(data_.data() + pos_));
  pos_ += 4;
  return v;
}

std::int64_t OSCValueDecoder::readInt64() {
  if (remainingByteCount() < 8) {
    throw OSCDecodeError::malformed("Not enough bytes while reading Int64 data chunk.");
  }
  const auto v = static_cast<std::int64_t>(loadBigEndian64(data_.data() + pos_));
  pos_ += 8;
  return v;
}

std::uint64_t OSCValueDecoder::readUInt64() {
  if (remainingByteCount() < 8) {
    throw OSCDecodeError::malformed("Not enough bytes while reading UInt64 data chunk.");
  }
  const auto v = loadBigEndian64(data_.data() + pos_);
  pos_ += 8;
  return v;
}

float OSCValueDecoder::readFloat32() {
  if (remainingByteCount() < 4) {
    throw OSCDecodeError::malformed("Not enough bytes while reading Float32 data chunk.");
  }
  const auto v = std::bit_cast<float>(loadBigEndian32(data_.data() + pos_));
  pos_ += 4;
  return v;
}

double OSCValueDecoder::readDouble() {
  if (remainingByteCount() < 8) {
    throw OSCDecodeError::malformed("Not enough bytes while reading Double data chunk.");
  }
  const auto v = std::bit_cast<double>(loadBigEndian64(data_.data() + pos_));
  pos_ += 8;
  return v;
}

std::span<const std::uint8_t> OSCValueDecoder::read4ByteAlignedNullTerminatedData() {
  bool ascii = true;
  bool printable = true;
  return readChunk(ascii, printable);
}

std::string_view OSCValueDecoder::read4ByteAlignedNullTerminatedASCIIView(bool& printable) {
  bool ascii = true;
  const auto bytes = readChunk(ascii, printable);
  if (!ascii) {
    throw OSCDecodeError::malformed(
        "Failed to form valid ASCII string from 4-byte aligned null-terminated ASCII string "
        "chunk. Non-ASCII characters may be present or the data is malformed.");
  }
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

std::span<const std::uint8_t> OSCValueDecoder::readChunk(bool& ascii, bool& printable) {
  const std::size_t remaining = remainingByteCount();
  if (remaining < 4) throw OSCDecodeError::malformed(std::string(kChunkTooShort));
  const std::uint8_t* start = data_.data() + pos_;
  const ChunkScan scan = scanChunk(start, remaining);
  const std::size_t n = scan.length;
  ascii = scan.ascii;
  printable = scan.printable;
  if (n == remaining) throw OSCDecodeError::malformed(std::string(kChunkNotTerminated));
  const std::size_t chunkLength = n + (4 - n % 4);
  if (remaining < chunkLength) throw OSCDecodeError::malformed(std::string(kChunkTooShort));
  for (std::size_t i = n + 1; i < chunkLength; ++i) {
    if (start[i] != 0) throw OSCDecodeError::malformed(std::string(kChunkNotTerminated));
  }
  pos_ += chunkLength;
  return {start, n};
}

std::span<const std::uint8_t> OSCValueDecoder::readBlob() {
  std::int32_t length = -1;
  if (remainingByteCount() >= 4) length = readInt32();
  // A missing, negative or oversized length all leave the chunk unreadable.
  if (length < 0 || length > kMaxBlobLength) {
    throw OSCDecodeError::malformed(
        "Failed to read Int32 length chunk at start of 4-byte aligned null-terminated blob data "
        "chunk.");
  }
  const auto n = static_cast<std::size_t>(length);
  const std::size_t remaining = remainingByteCount();
  if (n > remaining) {
    throw OSCDecodeError::malformed(
        "Encoded blob chunk length is greater than the available data length.");
  }
  // Zero to three padding bytes; four zeros after a last blob (the old form) are left over and
  // ignored by the message decoder.
  const std::size_t chunkLength = n + (4 - n % 4) % 4;
  if (remaining < chunkLength) {
    throw OSCDecodeError::malformed(
        "Not enough bytes in 4-byte aligned null-terminated blob data chunk.");
  }
  const std::uint8_t* start = data_.data() + pos_;
  for (std::size_t i = n; i < chunkLength; ++i) {
    if (start[i] != 0) {
      throw OSCDecodeError::malformed(
          "Expected 4-byte null terminated data but expected null bytes were not found.");
    }
  }
  pos_ += chunkLength;
  return {start, n};
}

std::span<const std::uint8_t> OSCValueDecoder::read(std::int64_t byteLength) {
  if (byteLength < 0) {
    throw OSCDecodeError::internalInconsistency(
        "Negative byte count requested while parsing data: " + std::to_string(byteLength));
  }
  const std::size_t remaining = remainingByteCount();
  if (static_cast<std::uint64_t>(byteLength) > remaining) {
    throw OSCDecodeError::malformed(
        "Not enough bytes remain in data stream while parsing data. Attempted to read " +
        std::to_string(byteLength) + " bytes but only " + std::to_string(remaining) +
        " bytes remain.");
  }
  const std::uint8_t* start = data_.data() + pos_;
  pos_ += static_cast<std::size_t>(byteLength);
  return {start, static_cast<std::size_t>(byteLength)};
}

void OSCValueDecoder::advancePosition(std::int64_t byteCount) {
  if (byteCount < 0) {
    throw OSCDecodeError::malformed("Attempted to move byte read position backwards by " +
                                    std::to_string(-byteCount) + " bytes.");
  }
  const std::size_t remaining = remainingByteCount();
  if (static_cast<std::uint64_t>(byteCount) > remaining) {
    throw OSCDecodeError::malformed(
        "Attempted to advance byte read position past end of available bytes. " +
        std::to_string(remaining) + " bytes remain but " + std::to_string(byteCount) +
        " were advanced.");
  }
  pos_ += static_cast<std::size_t>(byteCount);
}

void OSCValueDecoder::enterArray() {
  if (arrayDepth_ >= kMaxArrayDepth) {
    throw OSCDecodeError::malformed("Arrays are nested deeper than " +
                                    std::to_string(kMaxArrayDepth) + " levels.");
  }
  ++arrayDepth_;
}

}  // namespace tempik::osc
