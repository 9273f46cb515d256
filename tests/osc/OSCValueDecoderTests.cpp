#include "osc/OSCValueDecoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "OSCTestBytes.h"

namespace tempik::osc {
namespace {

using test::Bytes;
using test::bytesOf;
using test::operator+;
using namespace std::string_view_literals;

std::string failure(const Bytes& bytes, const std::function<void(OSCValueDecoder&)>& read) {
  OSCValueDecoder reader(bytes);
  try {
    read(reader);
  } catch (const OSCDecodeError& error) {
    return error.description();
  }
  return "(read)";
}

TEST(OSCValueDecoder, ReadsBigEndianNumbersAndChunks) {
  const Bytes bytes = bytesOf({0xFF, 0xFF, 0xFF, 0xFE, 0x3F, 0x80, 0, 0}) + bytesOf("ab\0\0"sv) +
                      bytesOf({0, 0, 0, 4, 1, 2, 3, 4}) + bytesOf({0, 0, 0, 7});
  OSCValueDecoder reader(bytes);
  EXPECT_EQ(reader.readInt32(), -2);
  EXPECT_EQ(reader.readFloat32(), 1.0f);
  EXPECT_EQ(reader.read4ByteAlignedNullTerminatedASCIIString(), "ab");
  const auto blob = reader.readBlob();
  EXPECT_EQ(Bytes(blob.begin(), blob.end()), bytesOf({1, 2, 3, 4}));
  EXPECT_EQ(reader.readInt32(), 7);  // a blob of four bytes has no padding
  EXPECT_EQ(reader.remainingByteCount(), 0u);
}

TEST(OSCValueDecoder, FailuresCarryTheirTexts) {
  struct Case {
    const char* name;
    Bytes bytes;
    std::function<void(OSCValueDecoder&)> read;
    std::string expected;
  };
  const auto chunk = [](OSCValueDecoder& r) { r.read4ByteAlignedNullTerminatedASCIIString(); };
  const auto blob = [](OSCValueDecoder& r) { r.readBlob(); };
  const std::string notTerminated =
      "Malformed data: 4-byte aligned null-terminated data chunk does not terminate in null "
      "bytes as expected.";
  const std::string chunkShort =
      "Malformed data: Not enough bytes in 4-byte aligned null-terminated data chunk.";
  const std::string blobLength =
      "Malformed data: Failed to read Int32 length chunk at start of 4-byte aligned "
      "null-terminated blob data chunk.";
  const Case cases[] = {
      {"int32", bytesOf({0, 0, 1}), [](auto& r) { r.readInt32(); },
       "Malformed data: Not enough bytes while reading Int32 data chunk."},
      {"float32", bytesOf({0, 0, 1}), [](auto& r) { r.readFloat32(); },
       "Malformed data: Not enough bytes while reading Float32 data chunk."},
      {"int64", bytesOf({0, 0, 0, 0, 0, 0, 1}), [](auto& r) { r.readInt64(); },
       "Malformed data: Not enough bytes while reading Int64 data chunk."},
      {"uint64", bytesOf({0, 0, 0, 0, 0, 0, 1}), [](auto& r) { r.readUInt64(); },
       "Malformed data: Not enough bytes while reading UInt64 data chunk."},
      {"double", bytesOf({0, 0, 0, 0, 0, 0, 1}), [](auto& r) { r.readDouble(); },
       "Malformed data: Not enough bytes while reading Double data chunk."},
      {"non-zero after terminator", bytesOf("ab\0c"sv), chunk, notTerminated},
      {"no terminator", bytesOf("abcd"sv), chunk, notTerminated},
      {"fewer than 4 bytes", bytesOf("a\0\0"sv), chunk, chunkShort},
      {"padding cut off", bytesOf("abcd\0\0\0"sv), chunk, chunkShort},
      {"not ASCII", bytesOf({0xC3, 0xA9, 0, 0}), chunk,
       "Malformed data: Failed to form valid ASCII string from 4-byte aligned null-terminated "
       "ASCII string chunk. Non-ASCII characters may be present or the data is malformed."},
      {"blob length above 65506", bytesOf({0, 0, 0xFF, 0xE3}) + Bytes(65512, 0), blob, blobLength},
      {"negative blob length", bytesOf({0xFF, 0xFF, 0xFF, 0xFC, 0, 0, 0, 0}), blob, blobLength},
      {"no blob length", bytesOf({0, 0}), blob, blobLength},
      {"blob longer than data", bytesOf({0, 0, 0, 8, 1, 2, 3, 4}), blob,
       "Malformed data: Encoded blob chunk length is greater than the available data length."},
      {"blob padding missing", bytesOf({0, 0, 0, 3, 1, 2, 3}), blob,
       "Malformed data: Not enough bytes in 4-byte aligned null-terminated blob data chunk."},
      {"blob padding not zero", bytesOf({0, 0, 0, 2, 1, 2, 0, 9}), blob,
       "Malformed data: Expected 4-byte null terminated data but expected null bytes were not "
       "found."},
      {"negative read", bytesOf({0}), [](auto& r) { r.read(-1); },
       "Internal inconsistency: Negative byte count requested while parsing data: -1"},
      {"read past end", bytesOf({1, 2, 3, 4}), [](auto& r) { r.read(5); },
       "Malformed data: Not enough bytes remain in data stream while parsing data. Attempted to "
       "read 5 bytes but only 4 bytes remain."},
      {"advance past end", bytesOf({1, 2, 3, 4}), [](auto& r) { r.advancePosition(5); },
       "Malformed data: Attempted to advance byte read position past end of available bytes. 4 "
       "bytes remain but 5 were advanced."},
      {"advance backwards", bytesOf({1, 2, 3, 4}), [](auto& r) { r.advancePosition(-1); },
       "Malformed data: Attempted to move byte read position backwards by 1 bytes."},
  };
  for (const Case& c : cases) EXPECT_EQ(failure(c.bytes, c.read), c.expected) << c.name;
}

TEST(OSCValueDecoder, LargestBlobIsAccepted) {
  const Bytes bytes = bytesOf({0, 0, 0xFF, 0xE2}) + Bytes(65506, 7) + Bytes(2, 0);
  OSCValueDecoder reader(bytes);
  EXPECT_EQ(reader.readBlob().size(), 65506u);
  EXPECT_EQ(reader.remainingByteCount(), 0u);
}

// Text is scanned many bytes at a time; every length and every position of an odd byte, with
// and without bytes after the chunk, must give what a byte-by-byte look gives.
TEST(OSCValueDecoder, ChunkScanMatchesByteByByteRule) {
  const std::uint8_t oddBytes[] = {0x09, 0x1F, 0x7F, 0x80, 0xFF};
  for (std::size_t length = 0; length <= 40; ++length) {
    for (std::size_t at = 0; at <= length; ++at) {  // at == length: no odd byte
      for (const std::uint8_t odd : oddBytes) {
        for (const std::size_t after : {std::size_t{0}, std::size_t{20}}) {
          Bytes bytes(length, 'a');
          if (length > 0) bytes[length - 1] = 0x7E;  // the printable extremes stay printable
          if (length > 1) bytes[0] = 0x20;
          if (at < length) bytes[at] = odd;
          bytes.resize(length + (4 - length % 4), 0);
          bytes.resize(bytes.size() + after, 'z');
          const bool ascii = at == length || odd < 0x80;
          const bool printable = at == length;

          OSCValueDecoder reader(bytes);
          bool readPrintable = !printable;
          try {
            const auto text = reader.read4ByteAlignedNullTerminatedASCIIView(readPrintable);
            EXPECT_TRUE(ascii) << length << " " << at << " " << int(odd);
            EXPECT_EQ(text.size(), length);
            EXPECT_EQ(readPrintable, printable) << length << " " << at << " " << int(odd);
            EXPECT_EQ(reader.remainingByteCount(), after);
          } catch (const OSCDecodeError&) {
            EXPECT_FALSE(ascii) << length << " " << at << " " << int(odd);
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace tempik::osc
