#include "osc/OSCBundle.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "OSCTestBytes.h"
#include "osc/OSCErrors.h"
#include "osc/OSCPacket.h"

namespace tempik::osc {
namespace {

using test::Bytes;
using test::bytesOf;
using test::decodeFailure;
using test::operator+;
using namespace std::string_view_literals;

const Bytes kHeader = bytesOf("#bundle\0"sv);
const Bytes kImmediate = bytesOf({0, 0, 0, 0, 0, 0, 0, 1});
const Bytes kMessageA = bytesOf("/a\0\0,\0\0\0"sv);

OSCBundle nestedBundles(int depth) {
  OSCBundle bundle({OSCMessage("/a", {1})});
  for (int level = 1; level < depth; ++level) bundle = OSCBundle({OSCPacket(std::move(bundle))});
  return bundle;
}

TEST(OSCBundleEncoding, WritesHeaderTimeTagAndSizedElements) {
  EXPECT_EQ(OSCBundle().rawData(), kHeader + kImmediate);
  EXPECT_EQ(OSCBundle({OSCMessage("/a")}).rawData(),
            kHeader + kImmediate + bytesOf({0, 0, 0, 8}) + kMessageA);
  EXPECT_EQ(OSCBundle({}, OSCTimeTag(0x0102030405060708ULL, 7)).rawData(),
            kHeader + bytesOf({1, 2, 3, 4, 5, 6, 7, 8}));  // the era is not written
}

TEST(OSCBundleDecoding, ReadsElementsRecursivelyAndKeepsItsBytes) {
  const OSCBundle empty = OSCBundle::decode(kHeader + kImmediate);
  EXPECT_TRUE(empty.elements().empty());
  EXPECT_TRUE(empty.timeTag().isImmediate());

  const OSCBundle built({OSCMessage("/a", {"x", 2.5}),
                         OSCBundle({OSCMessage("/b"), OSCMessage("/c", {true})}, OSCTimeTag(42))},
                        OSCTimeTag(7));
  const Bytes bytes = built.rawData();
  const OSCBundle decoded = OSCBundle::decode(bytes);
  EXPECT_EQ(decoded, built);
  ASSERT_NE(decoded.elements()[1].bundle(), nullptr);
  EXPECT_EQ(decoded.elements()[1].bundle()->timeTag(), OSCTimeTag(42));
  EXPECT_EQ(decoded.rawData(), bytes);
  EXPECT_EQ(decoded.elements()[0].rawData(), OSCMessage("/a", {"x", 2.5}).rawData());
}

TEST(OSCBundleDecoding, FailuresCarryTheirTexts) {
  const std::string endedEarly = "Malformed data: Data bytes ended earlier than expected.";
  const std::string unrecognized = "Malformed data: Unrecognized bundle element encountered.";
  struct Case {
    const char* name;
    Bytes bytes;
    std::string expected;
  };
  const Case cases[] = {
      {"15 bytes", Bytes(kHeader.begin(), kHeader.end()) + Bytes(7, 0),
       "Malformed data: Data length too short. (Length is 15)"},
      {"wrong header", bytesOf("#bundlX\0"sv) + kImmediate,
       "Malformed data: Bundle header is not present or is malformed."},
      {"size past the end", kHeader + kImmediate + bytesOf({0, 0, 0, 8, '/', 'a', 0, 0}),
       endedEarly},
      {"size cut off", kHeader + kImmediate + bytesOf({0, 0}), endedEarly},
      {"negative size", kHeader + kImmediate + bytesOf({0xFF, 0xFF, 0xFF, 0xF8}) + kMessageA,
       endedEarly},
      {"element of another kind", kHeader + kImmediate + bytesOf({0, 0, 0, 4, 'x', 0, 0, 0}),
       unrecognized},
      {"empty element", kHeader + kImmediate + bytesOf({0, 0, 0, 0}), unrecognized},
      {"bad message inside", kHeader + kImmediate + bytesOf({0, 0, 0, 4, '/', 'a', 0, 0}),
       "Malformed data: Couldn't extract OSC-type chunk."},
  };
  for (const Case& c : cases) EXPECT_EQ(decodeFailure<OSCBundle>(c.bytes), c.expected) << c.name;
}

TEST(OSCBundleNesting, HoldsAt32LevelsAndFailsAt33) {
  const OSCBundle deepest = nestedBundles(32);
  EXPECT_EQ(OSCBundle::decode(deepest.rawData()), deepest);
  EXPECT_THROW(nestedBundles(33).rawData(), OSCEncodeError);

  // 33 headers, each the only element of the one before.
  Bytes bytes = kHeader + kImmediate;
  for (int level = 1; level < 33; ++level) {
    const auto size = static_cast<int>(bytes.size());
    bytes = kHeader + kImmediate + bytesOf({0, 0, size >> 8, size & 0xFF}) + bytes;
  }
  EXPECT_EQ(decodeFailure<OSCBundle>(bytes),
            "Malformed data: Bundles are nested deeper than 32 levels.");
}

TEST(OSCPacketDecoding, RoutesByFirstBytes) {
  EXPECT_EQ(OSCPacket::decode(kMessageA)->packetType(), OSCPacketType::message);
  EXPECT_EQ(OSCPacket::decode(kHeader + kImmediate)->packetType(), OSCPacketType::bundle);
  EXPECT_FALSE(OSCPacket::decode(bytesOf("x\0\0\0"sv)).has_value());
  EXPECT_FALSE(OSCPacket::decode(bytesOf("#bun"sv)).has_value());
  EXPECT_FALSE(OSCPacket::decode(Bytes{}).has_value());
  Bytes moved = kMessageA;
  EXPECT_EQ(OSCPacket::decode(std::move(moved))->rawData(), kMessageA);
}

// A message keeps a few values inline and the rest elsewhere; decoding fills it in place.
// Whatever the count, decoded, copied, moved and regrown packets hold the same values.
TEST(OSCPacketDecoding, ValueCountsAroundTheInlineCapacity) {
  for (const std::size_t count : {0, 1, 8, 9, 30}) {
    OSCValueList values;
    for (std::size_t i = 0; i < count; ++i) {
      if (i % 2 == 0) {
        values.emplace_back(static_cast<std::int32_t>(i));
      } else {
        values.emplace_back(std::string(i, 'x'));  // short and long strings
      }
    }
    const OSCMessage sent("/eos/out/user/20/cmd", values);
    const Bytes bytes = sent.rawData();
    const OSCBundle bundle({sent, sent, sent}, OSCTimeTag::immediate());

    const std::optional<OSCPacket> viewed = OSCPacket::decode(bytes);
    const std::optional<OSCPacket> taken = OSCPacket::decode(Bytes(bytes));
    const std::optional<OSCPacket> bundled = OSCPacket::decode(bundle.rawData());
    ASSERT_TRUE(viewed && taken && bundled) << count;
    EXPECT_EQ(*viewed->message(), sent) << count;
    EXPECT_EQ(*taken->message(), sent) << count;
    EXPECT_EQ(*bundled->bundle(), bundle) << count;

    std::vector<OSCPacket> grown;
    for (int i = 0; i < 10; ++i) grown.push_back(*viewed);  // copies, then moves on regrowth
    OSCPacket moved = std::move(grown.back());
    EXPECT_EQ(*moved.message(), sent) << count;
    EXPECT_EQ(grown.front(), *viewed) << count;
    EXPECT_EQ(moved.rawData(), bytes) << count;
  }
}

TEST(OSCBundle, Descriptions) {
  const OSCBundle timed({OSCMessage("/a", {1})}, OSCTimeTag(5, 2));
  EXPECT_EQ(timed.description(),
            "OSCBundle(timeTag: 5-era:2, elements: [OSCMessage(\"/a\", values: [1])])");
  EXPECT_EQ(OSCBundle().description(), "OSCBundle()");
  EXPECT_EQ(OSCBundle({OSCMessage("/a"), OSCMessage("/b")}).descriptionPretty(),
            "OSCBundle() with elements:\n  OSCMessage(\"/a\")\n  OSCMessage(\"/b\")");
  EXPECT_EQ(OSCPacket(timed).description(), timed.description());
}

}  // namespace
}  // namespace tempik::osc
