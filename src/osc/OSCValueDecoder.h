#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "osc/ASCIIString.h"
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

  std::int32_t readInt32();
  std::int64_t readInt64();
  std::uint64_t readUInt64();
  float readFloat32();
  double readDouble();

  /// The bytes of one zero-terminated, zero-padded 4-byte-aligned chunk, without the zeros.
  std::span<const std::uint8_t> read4ByteAlignedNullTerminatedData();
  /// The same chunk as ASCII text (bytes above 0x7F are rejected).
  std::string read4ByteAlignedNullTerminatedASCIIString() {
    return std::string(read4ByteAlignedNullTerminatedASCIIView());
  }
  /// The same, as a view into the buffer.
  std::string_view read4ByteAlignedNullTerminatedASCIIView() {
    bool printable = true;
    return read4ByteAlignedNullTerminatedASCIIView(printable);
  }
  /// The same; `printable` tells whether every character is in 0x20-0x7E.
  std::string_view read4ByteAlignedNullTerminatedASCIIView(bool& printable);
  /// One blob chunk's data bytes (length at most 65506).
  std::span<const std::uint8_t> readBlob();
  /// Exactly `byteLength` raw bytes.
  std::span<const std::uint8_t> read(std::int64_t byteLength);
  void advancePosition(std::int64_t byteCount);

  /// Records that encoding the decoded values would not give back the bytes read (a string
  /// with control characters, which the encoder would replace).
  void markNotReencodable() { reencodesExactly_ = false; }
  bool reencodesExactly() const { return reencodesExactly_; }

  /// Array nesting bookkeeping for the array decoder; throws `malformed` past the limit.
  void enterArray();
  void leaveArray() { --arrayDepth_; }

 private:
  // The bytes of one chunk and whether they are all ASCII, and all printable.
  std::span<const std::uint8_t> readChunk(bool& ascii, bool& printable);

  const OSCSerialization* context_;
  std::span<const std::uint8_t> data_;
  std::size_t pos_ = 0;
  int arrayDepth_ = 0;
  bool reencodesExactly_ = true;
};

}  // namespace tempik::osc
