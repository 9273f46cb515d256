#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "osc/ASCIIString.h"
#include "osc/BigEndian.h"
#include "osc/ChunkScan.h"
#include "osc/OSCErrors.h"

namespace tempik::osc {

class OSCSerialization;

/// The read cursor every decoder of the codec reads through. Each operation checks lengths
/// before touching a byte, advances past what it consumed, or throws `OSCDecodeError`.
/// Lives for the decoding of one message or bundle, on one thread; it does not own `data`.
class OSCValueDecoder {
 public:
  /// Arrays may nest this deep inside one message; deeper input is malformed.
  static constexpr int kMaxArrayDepth = 32;

  explicit OSCValueDecoder(std::span<const std::uint8_t> data,
                           const OSCSerialization* context = nullptr)
      : context_(context), data_(data) {}

  /// The tag registry that decoding blocks use to decode nested values.
  const OSCSerialization* context() const { return context_; }
  std::span<const std::uint8_t> data() const { return data_; }
  std::size_t position() const { return pos_; }
  std::size_t remainingByteCount() const { return data_.size() - pos_; }

  std::int32_t readInt32() {
    return static_cast<std::int32_t>(
        loadBigEndian32(take(4, "Not enough bytes while reading Int32 data chunk.")));
  }
  std::int64_t readInt64() {
    return static_cast<std::int64_t>(
        loadBigEndian64(take(8, "Not enough bytes while reading Int64 data chunk.")));
  }
  std::uint64_t readUInt64() {
    return loadBigEndian64(take(8, "Not enough bytes while reading UInt64 data chunk."));
  }
  float readFloat32() {
    return std::bit_cast<float>(
        loadBigEndian32(take(4, "Not enough bytes while reading Float32 data chunk.")));
  }
  double readDouble() {
    return std::bit_cast<double>(
        loadBigEndian64(take(8, "Not enough bytes while reading Double data chunk.")));
  }

  /// The bytes of one zero-terminated, zero-padded 4-byte-aligned chunk, without the zeros.
  std::span<const std::uint8_t> read4ByteAlignedNullTerminatedData() {
    bool ascii = true;
    return readChunk(ascii);
  }
  /// The same chunk as ASCII text (bytes above 0x7F are rejected).
  std::string read4ByteAlignedNullTerminatedASCIIString() {
    return std::string(read4ByteAlignedNullTerminatedASCIIView());
  }
  /// The same, as a view into the buffer.
  [[gnu::always_inline]] std::string_view read4ByteAlignedNullTerminatedASCIIView() {
    bool ascii = true;
    const auto bytes = readChunk(ascii);
    if (!ascii) [[unlikely]] {
      fail(
          "Failed to form valid ASCII string from 4-byte aligned null-terminated ASCII string "
          "chunk. Non-ASCII characters may be present or the data is malformed.");
    }
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
  }
  /// The same; `printable` tells whether every character is in 0x20-0x7E.
  std::string_view read4ByteAlignedNullTerminatedASCIIView(bool& printable) {
    const std::string_view text = read4ByteAlignedNullTerminatedASCIIView();
    printable = detail::isPrintable(text.data(), text.size());
    return text;
  }
  /// One blob chunk's data bytes (length at most 65506). Zero to three zero bytes pad it to a
  /// multiple of 4; four zeros after a last blob (an older form) are left over, for the message
  /// decoder to ignore.
  std::span<const std::uint8_t> readBlob() {
    std::int32_t length = -1;
    if (remainingByteCount() >= 4) length = readInt32();
    // A missing, negative or oversized length all leave the chunk unreadable.
    if (length < 0 || length > kMaxBlobLength) [[unlikely]] {
      fail(
          "Failed to read Int32 length chunk at start of 4-byte aligned null-terminated blob "
          "data chunk.");
    }
    const auto n = static_cast<std::size_t>(length);
    const std::size_t remaining = remainingByteCount();
    if (n > remaining) [[unlikely]] {
      fail("Encoded blob chunk length is greater than the available data length.");
    }
    const std::size_t chunkLength = n + (4 - n % 4) % 4;
    if (remaining < chunkLength) [[unlikely]] {
      fail("Not enough bytes in 4-byte aligned null-terminated blob data chunk.");
    }
    const std::uint8_t* start = data_.data() + pos_;
    for (std::size_t i = n; i < chunkLength; ++i) {
      if (start[i] != 0) [[unlikely]] {
        fail("Expected 4-byte null terminated data but expected null bytes were not found.");
      }
    }
    pos_ += chunkLength;
    return {start, n};
  }
  /// Exactly `byteLength` raw bytes.
  std::span<const std::uint8_t> read(std::int64_t byteLength) {
    if (byteLength < 0 || static_cast<std::uint64_t>(byteLength) > remainingByteCount())
        [[unlikely]] {
      failRead(byteLength, remainingByteCount());
    }
    const std::uint8_t* start = data_.data() + pos_;
    pos_ += static_cast<std::size_t>(byteLength);
    return {start, static_cast<std::size_t>(byteLength)};
  }
  void advancePosition(std::int64_t byteCount);

  /// Array nesting bookkeeping for the array decoder; throws `malformed` past the limit.
  void enterArray() {
    if (arrayDepth_ >= kMaxArrayDepth) [[unlikely]] {
      failArrayDepth();
    }
    ++arrayDepth_;
  }
  void leaveArray() { --arrayDepth_; }

 private:
  // Throws `malformed` with `text`; kept out of line, away from the readers' fast paths.
  [[noreturn]] static void fail(const char* text);
  [[noreturn]] static void failRead(std::int64_t byteLength, std::size_t remaining);
  [[noreturn]] static void failArrayDepth();
  static constexpr std::int32_t kMaxBlobLength = 65506;

  // The next `n` bytes, or `malformed` with `text` when fewer remain.
  const std::uint8_t* take(std::size_t n, const char* text) {
    if (remainingByteCount() < n) [[unlikely]] {
      fail(text);
    }
    const std::uint8_t* p = data_.data() + pos_;
    pos_ += n;
    return p;
  }

  // The bytes of one chunk and whether they are all ASCII.
  [[gnu::always_inline]] std::span<const std::uint8_t> readChunk(bool& ascii) {
    static constexpr const char* kTooShort =
        "Not enough bytes in 4-byte aligned null-terminated data chunk.";
    static constexpr const char* kNotTerminated =
        "4-byte aligned null-terminated data chunk does not terminate in null bytes as "
        "expected.";
    const std::size_t remaining = remainingByteCount();
    if (remaining < 4) [[unlikely]] {
      fail(kTooShort);
    }
    const std::uint8_t* start = data_.data() + pos_;
    const detail::ChunkScan scan = detail::scanChunk(start, remaining);
    if (scan.status != detail::ChunkStatus::ok) [[unlikely]] {
      fail(scan.status == detail::ChunkStatus::tooShort ? kTooShort : kNotTerminated);
    }
    ascii = scan.ascii;
    pos_ += scan.chunkLength;
    return {start, scan.textLength};
  }

  const OSCSerialization* context_;
  std::span<const std::uint8_t> data_;
  std::size_t pos_ = 0;
  int arrayDepth_ = 0;
};

}  // namespace tempik::osc
