#include "osc/OSCSerialization.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "OSCTestBytes.h"
#include "osc/OSCErrors.h"
#include "osc/OSCMessage.h"

namespace tempik::osc {
namespace {

using test::Bytes;
using test::bytesOf;
using test::operator+;
using namespace std::string_view_literals;

struct Encoded {
  std::string tags;
  Bytes data;
};

Encoded encode(const OSCValue& value) {
  Encoded out;
  OSCSerialization::encodeValue(value, out.tags, out.data);
  return out;
}

OSCArrayValue nestedArrays(int depth) {
  OSCArrayValue array{{1}};
  for (int level = 1; level < depth; ++level) array = OSCArrayValue{{OSCValue(std::move(array))}};
  return array;
}

std::string decodeFailure(std::string_view tags, const Bytes& payload) {
  Bytes tagChunk = bytesOf(tags);
  tagChunk.resize(tagChunk.size() + 4 - tagChunk.size() % 4, 0);
  try {
    OSCMessage::decode(bytesOf("/a\0\0"sv) + tagChunk + payload);
  } catch (const OSCDecodeError& error) {
    return error.description();
  }
  return "(decoded)";
}

// Every kind writes its tag and exact payload, and decodes back to an equal value.
TEST(OSCValueKinds, EncodeToTheirBytesAndRoundTrip) {
  struct Case {
    OSCValue value;
    std::string tags;
    Bytes data;
  };
  const std::vector<Case> cases = {
      {std::int32_t{1}, "i", bytesOf({0, 0, 0, 1})},
      {std::int32_t{-2}, "i", bytesOf({0xFF, 0xFF, 0xFF, 0xFE})},
      {1.0f, "f", bytesOf({0x3F, 0x80, 0, 0})},
      {"", "s", bytesOf({0, 0, 0, 0})},
      {"abc", "s", bytesOf("abc\0"sv)},
      {"abcd", "s", bytesOf("abcd\0\0\0\0"sv)},
      {OSCBlob{}, "b", bytesOf({0, 0, 0, 0})},  // no padding when the length is a multiple of 4
      {OSCBlob{1, 2, 3, 4}, "b", bytesOf({0, 0, 0, 4, 1, 2, 3, 4})},
      {OSCBlob{9}, "b", bytesOf({0, 0, 0, 1, 9, 0, 0, 0})},
      {true, "T", {}},
      {false, "F", {}},
      {'A', "c", bytesOf({0, 0, 0, 0x41})},
      {2.25, "d", bytesOf({0x40, 0x02, 0, 0, 0, 0, 0, 0})},
      {std::int64_t{1} << 40, "h", bytesOf({0, 0, 1, 0, 0, 0, 0, 0})},
      {OSCImpulseValue{}, "I", {}},
      {OSCMIDIValue{1, 0x90, 60, 127}, "m", bytesOf({1, 0x90, 60, 127})},
      {OSCNullValue{}, "N", {}},
      {OSCStringAltValue{"xy"}, "S", bytesOf("xy\0\0"sv)},
      {OSCTimeTag(0x0102030405060708ULL), "t", bytesOf({1, 2, 3, 4, 5, 6, 7, 8})},
      {OSCArrayValue{{1, "a"}}, "[is]", bytesOf({0, 0, 0, 1, 0x61, 0, 0, 0})},
      {OSCArrayValue{}, "[]", {}},
      {OSCArrayValue{{OSCArrayValue{{true}}, 2.25f}}, "[[T]f]", bytesOf({0x40, 0x10, 0, 0})},
  };
  for (const Case& c : cases) {
    const Encoded encoded = encode(c.value);
    EXPECT_EQ(encoded.tags, c.tags) << c.value.description();
    EXPECT_EQ(encoded.data, c.data) << c.value.description();
    const OSCMessage decoded = OSCMessage::decode(OSCMessage("/a", {c.value}).rawData());
    ASSERT_EQ(decoded.values().size(), 1u) << c.value.description();
    EXPECT_EQ(decoded.values()[0], c.value) << c.value.description();
  }
}

TEST(OSCValueKinds, HostNumberTypesWidenToAKind) {
  struct Case {
    OSCValue value;
    std::string tags;
    Bytes data;
  };
  const std::vector<Case> cases = {
      {std::int8_t{-1}, "i", bytesOf({0xFF, 0xFF, 0xFF, 0xFF})},
      {std::int16_t{-2}, "i", bytesOf({0xFF, 0xFF, 0xFF, 0xFE})},
      {std::uint8_t{255}, "i", bytesOf({0, 0, 0, 0xFF})},
      {std::uint16_t{65535}, "i", bytesOf({0, 0, 0xFF, 0xFF})},
      {std::uint32_t{0xFFFFFFFF}, "h", bytesOf({0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF})},
      {std::uint64_t{std::numeric_limits<std::int64_t>::max()}, "h",
       bytesOf({0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})},
      {U'\u00E9', "c", bytesOf({0, 0, 0, 'e'})},  // a character goes out by the lossy rule
      {OSCStringAltValue{"\t"}, "S", bytesOf("?\0\0\0"sv)},
  };
  for (const Case& c : cases) {
    const Encoded encoded = encode(c.value);
    EXPECT_EQ(encoded.tags, c.tags) << c.value.description();
    EXPECT_EQ(encoded.data, c.data) << c.value.description();
  }
}

TEST(OSCValueKinds, ValuesOutsideTheEncodableRangeAreRefused) {
  try {
    encode(std::uint64_t{1} << 63);
    FAIL() << "encoded";
  } catch (const OSCEncodeError& error) {
    EXPECT_EQ(error.errorCase(), OSCEncodeError::Case::valueEncodingError);
  }
  // A failed encoding adds nothing to the caller's buffer.
  Bytes out = {1, 2};
  EXPECT_THROW(OSCMessage("/a", {1, std::uint64_t{1} << 63}).encode(out), OSCEncodeError);
  EXPECT_EQ(out, (Bytes{1, 2}));
}

TEST(OSCValueKinds, ArraysNestUpTo32Levels) {
  const OSCMessage deepest("/a", {nestedArrays(32)});
  EXPECT_EQ(OSCMessage::decode(deepest.rawData()), deepest);
  EXPECT_THROW(OSCMessage("/a", {nestedArrays(33)}).rawData(), OSCEncodeError);

  const std::string tags = std::string(33, '[') + "i" + std::string(33, ']');
  EXPECT_EQ(decodeFailure("," + tags, bytesOf({0, 0, 0, 1})),
            "Malformed data: Arrays are nested deeper than 32 levels.");
  // Deep enough to overflow the stack without the limit.
  EXPECT_EQ(decodeFailure("," + std::string(200000, '['), {}),
            "Malformed data: Arrays are nested deeper than 32 levels.");
}

TEST(OSCValueKinds, DecodeFailuresCarryTheirTexts) {
  const std::string noDecoder = "Internal inconsistency: No decoder found to decode OSC type tag: ";
  const std::string onlyCodec = ". Only decoder types supplied by the codec can be used.";
  EXPECT_EQ(decodeFailure(",r", bytesOf({0, 0, 0, 0})), noDecoder + "r" + onlyCodec);
  EXPECT_EQ(decodeFailure(",x", {}), noDecoder + "x" + onlyCodec);
  EXPECT_EQ(decodeFailure(",]", {}), noDecoder + "]" + onlyCodec);
  EXPECT_EQ(decodeFailure(",[i", bytesOf({0, 0, 0, 1})),
            "Malformed data: Array termination tag ']' was not found.");
  EXPECT_EQ(decodeFailure(",[,]", {}), noDecoder + "," + onlyCodec);  // commas count in arrays
  const std::string badCharacter =
      "Malformed data: Character value couldn't be read. Could not form a Unicode scalar from "
      "the value.";
  EXPECT_EQ(decodeFailure(",c", bytesOf({0, 0, 1, 0x2C})), badCharacter);  // 300
  EXPECT_EQ(decodeFailure(",c", bytesOf({0, 0, 0, 0xE9})), badCharacter);  // not ASCII
  EXPECT_EQ(decodeFailure(",ii", bytesOf({0, 0, 0, 1})),
            "Malformed data: Not enough bytes while reading Int32 data chunk.");
}

TEST(OSCSerialization, RegistryRefusesTakenTagsAndDispatchesInOrder) {
  OSCSerialization registry;
  EXPECT_EQ(registry.tagIdentities().size(), 14u);
  EXPECT_THROW(registry.registerType({"Dup", {OSCValueTagIdentity::Tag{'s'}}, {}, {}}),
               OSCSerializationError);
  EXPECT_THROW(registry.registerType({"Bools", {OSCValueTagIdentity::Variable{"xT"}}, {}, {}}),
               OSCSerializationError);
  EXPECT_THROW(registry.registerType({"Arrays", {OSCValueTagIdentity::Variadic{}}, {}, {}}),
               OSCSerializationError);

  // A kind added later is found for its tag, also inside an array.
  registry.registerType({"Colour",
                         {OSCValueTagIdentity::Tag{'r'}},
                         {},
                         OSCValueStaticTagDecoder{[](OSCValueDecoder& r, OSCValueList& out) {
                           out.emplace_back(r.readInt32());
                         }}});
  const Bytes payload = bytesOf({0, 0, 0, 5});
  OSCValueDecoder reader(payload, &registry);
  OSCValueList values;
  EXPECT_EQ(registry.decodeValue("[r]", reader, values), 3u);
  EXPECT_EQ(values, (OSCValueList{OSCArrayValue{{5}}}));

  OSCSerialization withoutDecoder;
  withoutDecoder.registerType({"Colour", {OSCValueTagIdentity::Tag{'r'}}, {}, {}});
  OSCValueDecoder again(payload, &withoutDecoder);
  try {
    withoutDecoder.decodeValue("r", again, values);
    FAIL() << "decoded";
  } catch (const OSCDecodeError& error) {
    EXPECT_EQ(error.description(), "Malformed data: No decoder is implemented for OSC type tag: r");
  }
}

TEST(OSCValueKinds, Descriptions) {
  EXPECT_EQ(OSCValue(OSCMIDIValue{1, 0x90, 0x3C, 0x7F}).description(),
            "MIDI(portID: 0x01, status: 0x90, data1: 0x3C, data2: 0x7F)");
  EXPECT_EQ(OSCValue(OSCImpulseValue{}).description(), "Impulse");
  EXPECT_EQ(OSCValue(OSCNullValue{}).description(), "Null");
  EXPECT_EQ(OSCValue(OSCArrayValue{{1, "a", OSCArrayValue{{1.5f}}}}).description(),
            "[1, a, [1.5]]");
}

}  // namespace
}  // namespace tempik::osc
