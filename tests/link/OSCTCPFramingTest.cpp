#include "link/OSCTCPFraming.h"

#include <gtest/gtest.h>

namespace tempik::link {
namespace {

struct SlipCase {
  const char* name;
  Bytes chunk;
  std::variant<std::vector<Bytes>, OSCTCPSLIPDecodingError> expected;
};

TEST(SlipDecode, SplitsFramesAndReportsBadEscapes) {
  using enum OSCTCPSLIPDecodingError;
  const SlipCase cases[] = {
      {"only ENDs", {0xC0, 0xC0}, std::vector<Bytes>{}},
      {"two frames, empty one skipped",
       {0xC0, 0x01, 0x02, 0xC0, 0xC0, 0x03, 0xC0},
       std::vector<Bytes>{{0x01, 0x02}, {0x03}}},
      {"no END at all", {0x01, 0x02}, std::vector<Bytes>{{0x01, 0x02}}},
      {"no closing END", {0xC0, 0x01, 0x02}, std::vector<Bytes>{{0x01, 0x02}}},
      {"escapes", {0xDB, 0xDC, 0xDB, 0xDD}, std::vector<Bytes>{{0xC0, 0xDB}}},
      {"lone escape codes are data", {0xDC, 0xDD}, std::vector<Bytes>{{0xDC, 0xDD}}},
      {"double escape", {0x01, 0xDB, 0xDB}, doubleEscapeBytes},
      {"escape before END", {0x01, 0xDB, 0xC0}, missingEscapedCharacter},
      {"escape before data", {0x01, 0xDB, 0x05}, missingEscapedCharacter},
      {"escape at the end", {0x01, 0xDB}, missingEscapedCharacter},
      {"good frame lost with the chunk", {0x01, 0xC0, 0xDB, 0x05, 0xC0}, missingEscapedCharacter},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(slipDecode(c.chunk), c.expected) << c.name;
  }
}

TEST(SlipEncode, EscapesAndDelimits) {
  EXPECT_EQ(slipEncode(Bytes{}), (Bytes{0xC0, 0xC0}));
  EXPECT_EQ(slipEncode(Bytes{0x01, 0xC0, 0xDB, 0x02}),
            (Bytes{0xC0, 0x01, 0xDB, 0xDC, 0xDB, 0xDD, 0x02, 0xC0}));
  Bytes every(256);
  for (int i = 0; i < 256; ++i) every[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
  EXPECT_EQ(slipDecode(slipEncode(every)), (SLIPDecodeResult{std::vector<Bytes>{every}}));
}

struct LengthCase {
  const char* name;
  Bytes chunk;
  PacketLengthHeaderDecodeResult expected;
};

TEST(PacketLengthHeaderDecode, SplitsPacketsOrLosesTheChunk) {
  using enum OSCTCPPacketLengthHeaderDecodingError;
  const LengthCase cases[] = {
      {"empty chunk", {}, std::vector<Bytes>{}},
      {"empty packet", {0, 0, 0, 0}, std::vector<Bytes>{Bytes{}}},
      {"two packets",
       {0, 0, 0, 1, 0xAA, 0, 0, 0, 2, 0xBB, 0xCC},
       std::vector<Bytes>{{0xAA}, {0xBB, 0xCC}}},
      {"short body", {0, 0, 0, 5, 1, 2}, notEnoughBytes},
      {"short header", {0, 0, 1}, notEnoughBytes},
      {"complete packet lost with the chunk", {0, 0, 0, 1, 0xAA, 0, 0, 0, 2, 0xBB}, notEnoughBytes},
      {"length above 2 GiB", {0xFF, 0xFF, 0xFF, 0xFF, 1}, notEnoughBytes},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(packetLengthHeaderDecode(c.chunk), c.expected) << c.name;
  }
}

TEST(PacketLengthHeaderEncode, WritesBigEndianLength) {
  EXPECT_EQ(packetLengthHeaderEncode(Bytes{1, 2, 3, 4, 5}), (Bytes{0, 0, 0, 5, 1, 2, 3, 4, 5}));
  const Bytes big(0x010203, 7);
  const Bytes framed = packetLengthHeaderEncode(big);
  EXPECT_EQ(Bytes(framed.begin(), framed.begin() + 4), (Bytes{0x00, 0x01, 0x02, 0x03}));
  EXPECT_EQ(packetLengthHeaderDecode(framed),
            (PacketLengthHeaderDecodeResult{std::vector<Bytes>{big}}));
}

TEST(FramingErrors, Descriptions) {
  EXPECT_EQ(description(OSCTCPPacketLengthHeaderDecodingError::notEnoughBytes),
            "Not enough bytes.");
  EXPECT_EQ(description(OSCTCPSLIPDecodingError::doubleEscapeBytes),
            "SLIP packet data is malformed. Double escape bytes encountered.");
  EXPECT_EQ(description(OSCTCPSLIPDecodingError::missingEscapedCharacter),
            "SLIP packet data is malformed. Encountered an escape byte but missing subsequent "
            "escaped character.");
}

}  // namespace
}  // namespace tempik::link
