#include "osc/OSCMessage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "OSCTestBytes.h"
#include "osc/OSCErrors.h"

namespace tempik::osc {
namespace {

using test::Bytes;
using test::bytesOf;
using test::decodeFailure;
using test::operator+;
using namespace std::string_view_literals;

TEST(OSCMessageEncoding, WritesAddressTagsAndPayloads) {
  struct Case {
    const char* name;
    OSCMessage message;
    Bytes expected;
  };
  const std::vector<Case> cases = {
      {"no values", OSCMessage("/a"), bytesOf({0x2F, 0x61, 0, 0, 0x2C, 0, 0, 0})},
      {"four-character address", OSCMessage("/abc"),
       bytesOf({0x2F, 0x61, 0x62, 0x63, 0, 0, 0, 0, 0x2C, 0, 0, 0})},
      {"one string", OSCMessage("/a", {"x"}),
       bytesOf({0x2F, 0x61, 0, 0, 0x2C, 0x73, 0, 0, 0x78, 0, 0, 0})},
      {"three strings", OSCMessage("/a", {"x", "y", "z"}),
       bytesOf({0x2F, 0x61, 0, 0, 0x2C, 0x73, 0x73, 0x73, 0,    0, 0, 0,
                0x78, 0,    0, 0, 0x79, 0,    0,    0,    0x7A, 0, 0, 0})},
      {"accented letter goes out plain", OSCMessage("/a", {"\xC3\xA9"}),
       bytesOf({0x2F, 0x61, 0, 0, 0x2C, 0x73, 0, 0, 0x65, 0, 0, 0})},
      {"tab in an argument goes out as ?", OSCMessage("/a", {"\t"}),
       bytesOf({0x2F, 0x61, 0, 0, 0x2C, 0x73, 0, 0, 0x3F, 0, 0, 0})},
      {"tab in an ASCII address is kept", OSCMessage("/\t"),
       bytesOf({0x2F, 0x09, 0, 0, 0x2C, 0, 0, 0})},
  };
  for (const Case& c : cases) EXPECT_EQ(c.message.rawData(), c.expected) << c.name;
}

TEST(OSCMessageDecoding, ReadsValuesInTagOrder) {
  const OSCMessage noComma =
      OSCMessage::decode(bytesOf({0x2F, 0x61, 0, 0, 0x73, 0, 0, 0, 0x78, 0, 0, 0}));
  EXPECT_EQ(noComma, OSCMessage("/a", {"x"}));
  ASSERT_EQ(noComma.values().size(), 1u);
  ASSERT_NE(noComma.values()[0].stringValue(), nullptr);
  EXPECT_EQ(*noComma.values()[0].stringValue(), "x");
  EXPECT_EQ(OSCMessage::decode(bytesOf({0x2F, 0x61, 0, 0, 0x2C, 0, 0, 0})).values().size(), 0u);
}

TEST(OSCMessageDecoding, FailuresCarryTheirTexts) {
  EXPECT_EQ(decodeFailure<OSCMessage>(bytesOf({0x2F, 0x61, 0, 0})),
            "Malformed data: Couldn't extract OSC-type chunk.");
  EXPECT_EQ(decodeFailure<OSCMessage>(bytesOf({0x2F, 0x61, 0, 0, 0x2C, 0, 0})),
            "Malformed data: Length not a multiple of 4 bytes.");
  EXPECT_EQ(decodeFailure<OSCMessage>(bytesOf({0x23, 0x61, 0, 0})),
            "Malformed data: Does not start with an address pattern.");
  EXPECT_EQ(decodeFailure<OSCMessage>({}),
            "Malformed data: Does not start with an address pattern.");
  EXPECT_EQ(decodeFailure<OSCMessage>(bytesOf({0x2F, 0xC3, 0xA9, 0, 0x2C, 0, 0, 0})),
            "Malformed data: Address pattern string could not be parsed.");
}

// Whatever form the bytes took, encoding the decoded message gives them back unchanged.
TEST(OSCMessageDecoding, ReencodesToTheReceivedBytes) {
  struct Case {
    const char* name;
    Bytes received;
  };
  const Case cases[] = {
      {"ordinary", bytesOf("/a\0\0,is\0"sv) + bytesOf({0, 0, 0, 7}) + bytesOf("x\0\0\0"sv)},
      {"no leading comma",
       bytesOf("/a\0\0is\0\0"sv) + bytesOf({0, 0, 0, 7}) + bytesOf("x\0\0\0"sv)},
      {"ignored trailing bytes",
       bytesOf("/a\0\0,is\0"sv) + bytesOf({0, 0, 0, 7}) + bytesOf("x\0\0\0zzzz"sv)},
      {"second comma", bytesOf("/a\0\0,i,\0"sv) + bytesOf({0, 0, 0, 7})},
      {"empty tag string", bytesOf("/a\0\0\0\0\0\0"sv)},
      {"tab in a string", bytesOf("/a\0\0,s\0\0x\ty\0"sv)},
      {"tab in a string-alt", bytesOf("/a\0\0,S\0\0\t\0\0\0"sv)},
      {"tab in the address", bytesOf("/\t\0\0,\0\0\0"sv)},
  };
  for (const Case& c : cases) {
    const OSCMessage message = OSCMessage::decode(c.received);
    EXPECT_EQ(message.rawData(), c.received) << c.name;
    Bytes out = {9};
    message.encode(out);
    EXPECT_EQ(out, bytesOf({9}) + c.received) << c.name;
    Bytes moved = c.received;
    EXPECT_EQ(OSCMessage::decode(std::move(moved)).rawData(), c.received) << c.name;
  }
  // Equality looks at the values only.
  EXPECT_EQ(OSCMessage::decode(cases[2].received), OSCMessage("/a", {7, "x"}));
}

TEST(OSCMessage, Descriptions) {
  EXPECT_EQ(OSCMessage("/a").description(), "OSCMessage(\"/a\")");
  EXPECT_EQ(OSCMessage("/a", {1, "x"}).description(), "OSCMessage(\"/a\", values: [1, x])");
  EXPECT_EQ(OSCMessage("/a").descriptionPretty(), "OSCMessage(\"/a\")");
  EXPECT_EQ(OSCMessage("/a", {1, "x "}).descriptionPretty(),
            "OSCMessage(\"/a\") with values:\n  Int32: 1\n  String: x");
}

}  // namespace
}  // namespace tempik::osc
