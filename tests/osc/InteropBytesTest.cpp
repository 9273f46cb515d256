// Packets as other OSC implementations wrote them, pinned here as data (the peers are not
// needed to run this). tempik reads each to the values it carries, owning and in place, and
// writes those values back to the very same bytes.
#include <gtest/gtest.h>

#include <charconv>
#include <string_view>
#include <utility>
#include <vector>

#include "OSCTestBytes.h"
#include "osc/OSCPacket.h"
#include "osc/OSCPacketView.h"

namespace tempik::osc {
namespace {

using test::Bytes;

Bytes fromHex(std::string_view hex) {
  Bytes bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    std::from_chars(hex.data() + i, hex.data() + i + 2, bytes.emplace_back(), 16);
  return bytes;
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
       OSCMessage("/kinds", {-2, 1.5f, "x", OSCBlob{0xAB}, -3L, OSCTimeTag(0x180000000), 2.25,
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
       OSCMessage("/kinds", {2147483647, -0.25f, "text", OSCBlob{1, 2, 3}, -9000000000L,
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
  for (const auto& [hex, expected] : table) {
    const Bytes bytes = fromHex(hex);
    EXPECT_EQ(OSCPacket::decode(bytes), expected) << hex;
    const auto view = OSCPacketView::decode(bytes);
    ASSERT_TRUE(view) << hex;
    EXPECT_EQ(owned(*view), expected) << hex;
    EXPECT_EQ(expected.rawData(), bytes) << hex;
  }
  // tempik's old form, four zeros after a blob of four bytes: they are left over, and ignored.
  const OSCMessage oldForm =
      OSCMessage::decode(fromHex("2f6100002c620000000000040102030400000000"));
  EXPECT_EQ(oldForm, OSCMessage("/a", {OSCBlob{1, 2, 3, 4}}));
  // Reading in place refuses what the owning decode refuses, with the same text: here a string
  // whose padding is not all zeros.
  const Bytes badPadding = fromHex("2f6100002c73000061000001000000000000000000000000");
  EXPECT_NE(test::decodeFailure<OSCMessage>(badPadding), "(decoded)");
  EXPECT_EQ(test::decodeFailure<OSCMessageView>(badPadding),
            test::decodeFailure<OSCMessage>(badPadding));
}

}  // namespace
}  // namespace tempik::osc
