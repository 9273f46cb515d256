// OSC values, messages and bundles: the bytes each encodes to, what decodes from them, and
// the text of every way decoding fails.
#include <gtest/gtest.h>

#include <limits>

#include "osc/OSCBundle.h"
#include "osc/OSCErrors.h"
#include "osc/OSCMessage.h"
#include "osc/OSCPacket.h"
#include "osc/OSCPacketView.h"
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

/// The decode error's text, or "(decoded)". Reading in place must fail alike, or decode too.
std::string failure(const Bytes& bytes) {
  const auto text = [](auto decode) -> std::string {
    try {
      decode();
    } catch (const OSCDecodeError& error) {
      return error.description();
    }
    return "(decoded)";
  };
  const std::string owned = text([&] { OSCPacket::decode(bytes); });
  EXPECT_EQ(text([&] { OSCPacketView::decode(bytes); }), owned) << "read in place";
  return owned;
}

// What a view reads, as owned values.
OSCPacket owned(const OSCPacketView& view) {
  if (const OSCMessageView* message = view.message()) {
    OSCValueList values;
    for (const OSCArgumentView& argument : *message) appendValue(values, argument);
    return OSCMessage(message->addressPattern(), std::move(values));
  }
  std::vector<OSCPacket> elements;
  for (const OSCPacketView& element : *view.bundle()) elements.push_back(owned(element));
  return OSCBundle(std::move(elements), view.bundle()->timeTag());
}

// Packets as other OSC implementations wrote them, pinned here as data (the peers are not
// needed to run this). tempik reads each to the values it carries, owning and in place, and
// writes those values back to the very same bytes.
TEST(OSCInterop, PeersPacketsReadToTheirValuesAndWriteBackTheSameBytes) {
  const OSCTimeTag largest(~std::uint64_t{0});
  // clang-format off
  const std::pair<std::string_view, OSCPacket> table[] = {
      // liblo 0.31 (lo_message_serialise, lo_bundle_serialise): blobs of 1 to 4 bytes (liblo
      // makes no empty blob), strings of 0 to 5 characters, every kind it has, time tag 0,
      // nested bundles with time tags 1 and the largest.
      {"2f626c6f627300002c62626262690000000000010100000000000002010200000000000301020300000000040102030400000007",
       OSCMessage("/blobs", {OSCBlob{1}, OSCBlob{1, 2}, OSCBlob{1, 2, 3}, OSCBlob{1, 2, 3, 4}, 7})},
      {"2f737472696e6773000000002c737373737373000000000061000000616200006162630061626364000000006162636465000000",
       OSCMessage("/strings", {"", "a", "ab", "abc", "abcd", "abcde"})},
      {"2f6b696e647300002c6966736268746453636d54464e4900fffffffe3fc000007800000000000001ab000000fffffffffffffffd0000000180000000400200000000000073796d000000004101903c7f",
       OSCMessage("/kinds", {-2, 1.5f, "x", OSCBlob{0xAB}, std::int64_t{-3}, OSCTimeTag(0x180000000), 2.25,
                             OSCStringAltValue{"sym"}, 'A', OSCMIDIValue{1, 0x90, 60, 127}, true,
                             false, OSCNullValue{}, OSCImpulseValue{}})},
      {"2362756e646c650000000000000000000000000c2f6100002c69000000000001",
       OSCBundle({OSCMessage("/a", {1})}, OSCTimeTag(0))},
      {"2362756e646c650000000000000000010000000c2f7800002c730000790000000000001c2362756e646c6500ffffffffffffffff000000082f7a00002c540000",
       OSCBundle({OSCMessage("/x", {"y"}), OSCBundle({OSCMessage("/z", {true})}, largest)})},
      // oscpack 1.1.0 (OutboundPacketStream): the blob example that tempik's old padding
      // misread, an array in an array, blobs of 0 and 5 to 8 bytes, bundles in a bundle.
      {"2f6100002c626973000000000000000401020304000000006162636465666700",
       OSCMessage("/a", {OSCBlob{1, 2, 3, 4}, 0, "abcdefg"})},
      {"2f617272000000002c695b735b665d545d69000000000001696e00003f00000000000002",
       OSCMessage("/arr", {1, OSCArrayValue{{"in", OSCArrayValue{{0.5f}}, true}}, 2})},
      {"2f626c6f627300002c6262626262730000000000000000050908070605000000000000060908070605040000000000070908070605040300000000080908070605040302656e6400",
       OSCMessage("/blobs", {OSCBlob{}, OSCBlob{9, 8, 7, 6, 5}, OSCBlob{9, 8, 7, 6, 5, 4},
                             OSCBlob{9, 8, 7, 6, 5, 4, 3}, OSCBlob{9, 8, 7, 6, 5, 4, 3, 2}, "end"})},
      {"2362756e646c65000000000000000001000000102f6f6e65000000002c69000000000001000000102f74776f000000002c73000032000000",
       OSCBundle({OSCMessage("/one", {1}), OSCMessage("/two", {"2"})})},
      {"2f6b696e647300002c6966736268746453636d464e4900007fffffffbe80000074657874000000000000000301020300fffffffde78ee6000000000100000000fe37e43c8800759c530000000000007a0190457f",
       OSCMessage("/kinds", {2147483647, -0.25f, "text", OSCBlob{1, 2, 3}, std::int64_t{-9000000000},
                             OSCTimeTag(0x100000000), -1.0e300, OSCStringAltValue{"S"}, 'z',
                             OSCMIDIValue{1, 0x90, 0x45, 0x7F}, false, OSCNullValue{},
                             OSCImpulseValue{}})},
      {"2362756e646c65000000000000000000000000202362756e646c650000000000000000010000000c2f646565700000002c000000",
       OSCBundle({OSCBundle({OSCMessage("/deep")})}, OSCTimeTag(0))},
      // osc.js 2.4 (writePacket): the largest time tag, empty and nested arrays, blobs of 0 and
      // 4 bytes, time tags 0 and 1 in nested bundles, the kinds the others did not write.
      {"2362756e646c6500ffffffffffffffff000000102f626967000000002c6900000000002a",
       OSCBundle({OSCMessage("/big", {42})}, largest)},
      {"2f6e6573740000002c5b695b735b5d5d465d640000000001610000003fc0000000000000",
       OSCMessage("/nest", {OSCArrayValue{{1, OSCArrayValue{{"a", OSCArrayValue{}}}, false}}, 0.125})},
      {"2f6200002c626273000000000000000000000004ff00ff006162636465000000",
       OSCMessage("/b", {OSCBlob{}, OSCBlob{0xFF, 0, 0xFF, 0}, "abcde"})},
      {"2362756e646c65000000000000000000000000242362756e646c65000000000000000001000000102f696e002c7400000000000100000000000000182f6f7574000000002c5363494e000000616c740000000063",
       OSCBundle({OSCBundle({OSCMessage("/in", {OSCTimeTag(0x100000000)})}),
                  OSCMessage("/out", {OSCStringAltValue{"alt"}, 'c', OSCImpulseValue{}, OSCNullValue{}})},
                 OSCTimeTag(0))},
      {"2f7300002c73736d5466000000000000616263640000000000b0076440600000",
       OSCMessage("/s", {"", "abcd", OSCMIDIValue{0, 0xB0, 7, 100}, true, 3.5f})},
  };
  // clang-format on
  for (const auto& [digits, expected] : table) {
    const Bytes bytes = hex(digits);
    EXPECT_EQ(OSCPacket::decode(bytes), expected) << digits;
    const auto view = OSCPacketView::decode(bytes);
    ASSERT_TRUE(view) << digits;
    EXPECT_EQ(owned(*view), expected) << digits;
    EXPECT_EQ(expected.rawData(), bytes) << digits;
  }
  // tempik's old form, four zeros after a blob of four bytes: they are left over, and ignored.
  EXPECT_EQ(OSCMessage::decode(hex("'/a'0000 ',b'0000 00000004 01020304 00000000")),
            OSCMessage("/a", {OSCBlob{1, 2, 3, 4}}));
}

// Host number types go out by their width, whatever their C++ name (`std::int64_t` is `long` on
// Linux, `long long` on Windows); text by the lossy ASCII rule.
TEST(OSCValues, HostTypesGoOutByWidthAndTextByTheLossyRule) {
  const struct {
    OSCValue value;
    std::string tags;
    std::string bytes;
  } cases[] = {
    {std::int8_t{-1}, "i", "ffffffff"},
    {std::uint16_t{65535}, "i", "0000ffff"},
    {std::uint32_t{0xFFFFFFFF}, "h", "00000000ffffffff"},
    {std::int64_t{-4}, "h", "fffffffffffffffc"},
    {-5LL, "h", "fffffffffffffffb"},
    {std::ptrdiff_t{6}, "h", "0000000000000006"},
    {std::uint64_t{std::numeric_limits<std::int64_t>::max()}, "h", "7fffffffffffffff"},
#if defined(__FLT16_MAX__)
    {static_cast<_Float16>(1.5f), "f", "3fc00000"},
#endif
    {U'\u00E9', "c", "00000065"},
    {OSCStringAltValue{"\t"}, "S", "'?'000000"},
  };
  for (const auto& c : cases) {
    std::string tags;
    Bytes data;
    OSCSerialization::encodeValue(c.value, tags, data);
    EXPECT_EQ(tags, c.tags) << c.value.description();
    EXPECT_EQ(data, hex(c.bytes)) << c.value.description();
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
      // The same with sixteen bytes to scan at a time.
      {"'/a'0000 ',s'0000 'ab'00'c' 00000000 00000000 00000000", notTerminated},
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
