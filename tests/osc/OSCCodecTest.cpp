// OSC values, messages and bundles: the bytes each encodes to, what decodes from them, and
// the text of every way decoding fails.
#include <gtest/gtest.h>

#include <limits>

#include "osc/OSCBundle.h"
#include "osc/OSCErrors.h"
#include "osc/OSCMessage.h"
#include "osc/OSCPacket.h"
#include "osc/OSCSerialization.h"
#include "osc/OSCValueDecoder.h"

namespace tempik::osc {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::string_view_literals;

/// Bytes written as hex digits; spaces are for the eye. Text goes in between single quotes.
Bytes hex(std::string_view digits) {
  Bytes out;
  for (std::size_t i = 0; i < digits.size();) {
    if (digits[i] == ' ') {
      ++i;
    } else if (digits[i] == '\'') {
      const auto end = digits.find('\'', i + 1);
      out.insert(out.end(), digits.begin() + i + 1, digits.begin() + end);
      i = end + 1;
    } else {
      out.push_back(
          static_cast<std::uint8_t>(std::stoi(std::string(digits.substr(i, 2)), nullptr, 16)));
      i += 2;
    }
  }
  return out;
}

/// The decode error's text, or "(decoded)".
std::string failure(const Bytes& bytes) {
  try {
    OSCPacket::decode(bytes);
  } catch (const OSCDecodeError& error) {
    return error.description();
  }
  return "(decoded)";
}

// Every kind writes its tag and exact payload and, but for the host number types, which
// decoding never produces, decodes back to an equal value.
TEST(OSCValues, EncodeToTheirTagAndBytesAndDecodeBack) {
  const struct {
    OSCValue value;
    std::string tags;
    std::string bytes;
  } cases[] = {
      {std::int32_t{-2}, "i", "fffffffe"},
      {1.0f, "f", "3f800000"},
      {"", "s", "00000000"},
      {"abc", "s", "'abc'00"},
      {"abcd", "s", "'abcd'00000000"},
      {OSCBlob{}, "b", "00000000 00000000"},
      {OSCBlob{1, 2, 3, 4}, "b", "00000004 01020304 00000000"},
      {OSCBlob{9}, "b", "00000001 09000000"},
      {true, "T", ""},
      {false, "F", ""},
      {'A', "c", "00000041"},
      {2.25, "d", "4002000000000000"},
      {std::int64_t{1} << 40, "h", "0000010000000000"},
      {OSCImpulseValue{}, "I", ""},
      {OSCMIDIValue{1, 0x90, 60, 127}, "m", "01903c7f"},
      {OSCNullValue{}, "N", ""},
      {OSCStringAltValue{"xy"}, "S", "'xy'0000"},
      {OSCTimeTag(0x0102030405060708ULL), "t", "0102030405060708"},
      {OSCArrayValue{{1, "a"}}, "[is]", "00000001 'a'000000"},
      {OSCArrayValue{{OSCArrayValue{{true}}, 2.25f}}, "[[T]f]", "40100000"},
      {std::int8_t{-1}, "i", "ffffffff"},
      {std::uint16_t{65535}, "i", "0000ffff"},
      {std::uint32_t{0xFFFFFFFF}, "h", "00000000ffffffff"},
      {std::uint64_t{std::numeric_limits<std::int64_t>::max()}, "h", "7fffffffffffffff"},
      {U'\u00E9', "c", "00000065"},                 // a character goes out by the lossy rule
      {OSCStringAltValue{"\t"}, "S", "'?'000000"},  // and so does text that is not printable
  };
  for (const auto& c : cases) {
    std::string tags;
    Bytes data;
    OSCSerialization::encodeValue(c.value, tags, data);
    EXPECT_EQ(tags, c.tags) << c.value.description();
    EXPECT_EQ(data, hex(c.bytes)) << c.value.description();
    if (c.value.holds<std::int8_t>()) break;  // the host number types follow
    const auto decoded = OSCMessage::decode(OSCMessage("/a", {c.value}).rawData()).values();
    ASSERT_EQ(decoded.size(), 1u);
    EXPECT_EQ(decoded[0], c.value) << c.value.description();
  }
  EXPECT_THROW(OSCMessage("/a", {std::uint64_t{1} << 63}).rawData(), OSCEncodeError);
  Bytes out = {1, 2};  // a failed encoding adds nothing to the caller's buffer
  EXPECT_THROW(OSCMessage("/a", {1, std::uint64_t{1} << 63}).encode(out), OSCEncodeError);
  EXPECT_EQ(out, (Bytes{1, 2}));
}

TEST(OSCMessages, EncodeTheAddressTagsAndPayloadsAsASCII) {
  const std::pair<OSCMessage, std::string> cases[] = {
      {OSCMessage("/a"), "'/a'0000 2c000000"},
      {OSCMessage("/abc"), "'/abc'00000000 2c000000"},
      {OSCMessage("/a", {"x", "yz"}), "'/a'0000 ',ss'00 'x'000000 'yz'0000"},
      {OSCMessage("/a", {"caf\xC3\xA9"}), "'/a'0000 ',s'0000 'cafe'00000000"},
      {OSCMessage("/a", {"\t"}), "'/a'0000 ',s'0000 '?'000000"},
      {OSCMessage("/\t"), "'/'09 0000 2c000000"},  // an ASCII address is kept as it is
  };
  for (const auto& [message, bytes] : cases) {
    EXPECT_EQ(message.rawData(), hex(bytes)) << message.description();
  }
  EXPECT_EQ(OSCBundle({OSCMessage("/a")}, OSCTimeTag(7, 2)).rawData(),
            hex("'#bundle'00 0000000000000007 00000008 '/a'0000 2c000000"));  // no era
  EXPECT_EQ(OSCMessage("/a", {1, "x"}).description(), "OSCMessage(\"/a\", values: [1, x])");
  EXPECT_EQ(OSCValue(OSCMIDIValue{1, 0x90, 0x3C, 0x7F}).description(),
            "MIDI(portID: 0x01, status: 0x90, data1: 0x3C, data2: 0x7F)");
  EXPECT_EQ(OSCValue(OSCArrayValue{{1, "a", OSCArrayValue{{1.5f}}}}).description(),
            "[1, a, [1.5]]");
}

TEST(OSCPackets, DecodeFailuresCarryTheirTexts) {
  const std::string notTerminated =
      "Malformed data: 4-byte aligned null-terminated data chunk does not terminate in null "
      "bytes as expected.";
  const std::string noDecoder = "Internal inconsistency: No decoder found to decode OSC type tag: ";
  const std::string onlyCodec = ". Only decoder types supplied by the codec can be used.";
  const std::string endedEarly = "Malformed data: Data bytes ended earlier than expected.";
  const std::pair<std::string, std::string> cases[] = {
      {"'/a'0000", "Malformed data: Couldn't extract OSC-type chunk."},
      {"'/a'0000 2c0000", "Malformed data: Length not a multiple of 4 bytes."},
      {"'/'c3a900 2c000000", "Malformed data: Address pattern string could not be parsed."},
      {"'/a'0000 ',ii'00 00000001",
       "Malformed data: Not enough bytes while reading Int32 data chunk."},
      {"'/a'0000 ',ff'00 00000001",
       "Malformed data: Not enough bytes while reading Float32 data chunk."},
      {"'/a'0000 ',h'0000 00000001",
       "Malformed data: Not enough bytes while reading Int64 data chunk."},
      {"'/a'0000 ',d'0000 00000001",
       "Malformed data: Not enough bytes while reading Double data chunk."},
      {"'/a'0000 ',s'0000 'ab'00'c'", notTerminated},
      {"'/a'0000 ',s'0000 'abcd'", notTerminated},
      {"'/a'0000 ',s'0000 c3a90000",
       "Malformed data: Failed to form valid ASCII string from 4-byte aligned null-terminated "
       "ASCII string chunk. Non-ASCII characters may be present or the data is malformed."},
      {"'/a'0000 ',b'0000 fffffffc 00000000",
       "Malformed data: Failed to read Int32 length chunk at start of 4-byte aligned "
       "null-terminated blob data chunk."},
      {"'/a'0000 ',b'0000 00000008 01020304",
       "Malformed data: Encoded blob chunk length is greater than the available data length."},
      {"'/a'0000 ',b'0000 00000002 01020009",
       "Malformed data: Expected 4-byte null terminated data but expected null bytes were not "
       "found."},
      {"'/a'0000 ',c'0000 0000012c",
       "Malformed data: Character value couldn't be read. Could not form a Unicode scalar from "
       "the value."},
      {"'/a'0000 ',r'0000", noDecoder + "r" + onlyCodec},
      {"'/a'0000 ',[,]'00000000", noDecoder + "," + onlyCodec},  // commas count in arrays
      {"'/a'0000 ',[i'00 00000001", "Malformed data: Array termination tag ']' was not found."},
      {"'#bundle'00 00000000000000", "Malformed data: Data length too short. (Length is 15)"},
      {"'#bundle'00 0000000000000001 00000008 '/a'0000", endedEarly},
      {"'#bundle'00 0000000000000001 fffffff8 '/a'0000 2c000000", endedEarly},
      {"'#bundle'00 0000000000000001 00000004 'x'000000",
       "Malformed data: Unrecognized bundle element encountered."},
      {"'#bundle'00 0000000000000001 00000004 '/a'0000",
       "Malformed data: Couldn't extract OSC-type chunk."},
  };
  for (const auto& [bytes, text] : cases) EXPECT_EQ(failure(hex(bytes)), text) << bytes;
}

TEST(OSCPackets, ArraysAndBundlesNestUpTo32Levels) {
  OSCArrayValue array{{1}};
  OSCBundle bundle({OSCMessage("/a", {1})});
  for (int level = 1; level < 32; ++level) {
    array = OSCArrayValue{{OSCValue(std::move(array))}};
    bundle = OSCBundle({OSCPacket(std::move(bundle))});
  }
  const OSCMessage deepest("/a", {array});
  EXPECT_EQ(OSCMessage::decode(deepest.rawData()), deepest);
  EXPECT_EQ(OSCBundle::decode(bundle.rawData()), bundle);
  EXPECT_THROW(OSCMessage("/a", {OSCArrayValue{{array}}}).rawData(), OSCEncodeError);
  EXPECT_THROW(OSCBundle({OSCPacket(bundle)}).rawData(), OSCEncodeError);
  const Bytes inner = bundle.rawData();  // one more header around it, written by hand
  Bytes tooDeep = hex("'#bundle'00 0000000000000001");
  for (const int shift : {24, 16, 8, 0}) tooDeep.push_back(std::uint8_t(inner.size() >> shift));
  tooDeep.insert(tooDeep.end(), inner.begin(), inner.end());
  EXPECT_EQ(failure(tooDeep), "Malformed data: Bundles are nested deeper than 32 levels.");
  Bytes deepTags = hex("'/a'0000 '," + std::string(33, '[') + "i" + std::string(33, ']') + "'");
  deepTags.resize(deepTags.size() + 4 - deepTags.size() % 4, 0);
  deepTags.push_back(0), deepTags.push_back(0), deepTags.push_back(0), deepTags.push_back(1);
  EXPECT_EQ(failure(deepTags), "Malformed data: Arrays are nested deeper than 32 levels.");
}

// Text is scanned many bytes at a time; every length and every position of an odd byte, with
// and without bytes after the chunk, must give what a byte-by-byte look gives.
TEST(OSCValueDecoder, ChunkScanMatchesTheByteByByteRule) {
  for (std::size_t length = 0; length <= 40; ++length) {
    for (std::size_t at = 0; at <= length; ++at) {  // at == length: no odd byte
      for (const std::uint8_t odd : {0x09, 0x1F, 0x7F, 0x80, 0xFF}) {
        for (const std::size_t after : {std::size_t{0}, std::size_t{20}}) {
          Bytes bytes(length, 'a');
          if (length > 0) bytes[length - 1] = 0x7E;  // the printable extremes stay printable
          if (length > 1) bytes[0] = 0x20;
          if (at < length) bytes[at] = odd;
          bytes.resize(length + (4 - length % 4), 0);
          bytes.resize(bytes.size() + after, 'z');
          OSCValueDecoder reader(bytes);
          bool printable = at != length;
          try {
            const auto text = reader.read4ByteAlignedNullTerminatedASCIIView(printable);
            EXPECT_TRUE(at == length || odd < 0x80) << length << " " << at << " " << int(odd);
            EXPECT_EQ(text.size(), length);
            EXPECT_EQ(printable, at == length) << length << " " << at << " " << int(odd);
            EXPECT_EQ(reader.remainingByteCount(), after);
          } catch (const OSCDecodeError&) {
            EXPECT_FALSE(at == length || odd < 0x80) << length << " " << at << " " << int(odd);
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace tempik::osc
