// How packets are cut out of a TCP byte stream: SLIP frames and length headers, whole chunks
// and streams chunked every which way.
#include <gtest/gtest.h>

#include <algorithm>

#include "link/LengthHeaderStreamDecoder.h"
#include "link/OSCTCPFraming.h"
#include "link/SlipStreamDecoder.h"

namespace tempik::link {
namespace {

Bytes concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// The whole-chunk decoders are fuzzed for round trips and partial results; what is left here
// are the bytes on the wire and the errors' texts.
TEST(Framing, WritesTheBytesOnTheWireAndNamesEveryMalformedChunk) {
  EXPECT_EQ(slipEncode(Bytes{}), (Bytes{0xC0, 0xC0}));
  EXPECT_EQ(frame(OSCTCPFramingMode::osc1_1, Bytes{0x01, 0xC0, 0xDB, 0x02}),
            (Bytes{0xC0, 0x01, 0xDB, 0xDC, 0xDB, 0xDD, 0x02, 0xC0}));
  EXPECT_EQ(frame(OSCTCPFramingMode::osc1_0, Bytes(0x010203, 7)).size(), 0x010207u);
  EXPECT_EQ(frame(OSCTCPFramingMode::osc1_0, Bytes{7}), (Bytes{0, 0, 0, 1, 7}));
  using enum OSCTCPSLIPDecodingError;
  EXPECT_EQ(slipDecode(Bytes{0xDB, 0xDC, 0xDC, 0xDD}),
            (SLIPDecodeResult{std::vector<Bytes>{{0xC0, 0xDC, 0xDD}}}));
  EXPECT_EQ(slipDecode(Bytes{0x01, 0xDB, 0xDB}), SLIPDecodeResult{doubleEscapeBytes});
  EXPECT_EQ(slipDecode(Bytes{0x01, 0xC0, 0xDB, 0x05, 0xC0}),
            SLIPDecodeResult{missingEscapedCharacter});
  EXPECT_EQ(description(missingEscapedCharacter),
            "SLIP packet data is malformed. Encountered an escape byte but missing subsequent "
            "escaped character.");
  EXPECT_EQ(packetLengthHeaderDecode(Bytes{0, 0, 0, 1, 0xAA, 0, 0, 0, 2, 0xBB}),
            PacketLengthHeaderDecodeResult{OSCTCPPacketLengthHeaderDecodingError::notEnoughBytes});
  EXPECT_EQ(description(OSCTCPPacketLengthHeaderDecodingError::notEnoughBytes),
            "Not enough bytes.");
}

// Every way of cutting a stream into three reads gives the same packets, nothing left over.
TEST(StreamDecoders, SplitAtEveryPairOfPositions) {
  const std::vector<Bytes> packets = {{'/', 'a', 0, 0, ',', 0, 0, 0}, {0x01, 0xC0, 0x02, 0xDB}, {}};
  const Bytes slip = concat({slipEncode(packets[0]), slipEncode(packets[1])});
  const Bytes lengths =
      concat({packetLengthHeaderEncode(packets[0]), packetLengthHeaderEncode(packets[1]),
              packetLengthHeaderEncode(packets[2])});
  // With the check on, a carried frame that is exactly a known packet goes out before its END.
  const auto isKnown = [&](ByteView frame) {
    return std::any_of(packets.begin(), packets.end() - 1, [frame](const Bytes& packet) {
      return std::equal(frame.begin(), frame.end(), packet.begin(), packet.end());
    });
  };
  for (const int kind : {0, 1, 2}) {
    const Bytes& stream = kind == 2 ? lengths : slip;
    for (std::size_t first = 0; first <= stream.size(); ++first) {
      for (std::size_t second = first; second <= stream.size(); ++second) {
        SlipStreamDecoder slipDecoder =
            kind == 1 ? SlipStreamDecoder(isKnown) : SlipStreamDecoder();
        LengthHeaderStreamDecoder lengthDecoder;
        std::vector<Bytes> found;
        const ByteView all(stream);
        for (const auto part :
             {all.subspan(0, first), all.subspan(first, second - first), all.subspan(second)}) {
          const auto sink = [&found](ByteView packet) {
            found.emplace_back(packet.begin(), packet.end());
          };
          if (kind == 2) {
            EXPECT_TRUE(lengthDecoder.feed(part, sink));
          } else {
            slipDecoder.feed(part, sink);
          }
        }
        const std::vector expected(packets.begin(), packets.end() - (kind == 2 ? 0 : 1));
        EXPECT_EQ(found, expected) << kind << ": cuts at " << first << ", " << second;
        EXPECT_EQ(slipDecoder.pendingSize(), 0u);
      }
    }
  }
}

TEST(StreamDecoders, ABadFrameCostsOnlyItselfAndMemoryStaysBounded) {
  const Bytes good1{0x11}, good2{0x22};
  for (const Bytes& bad :
       {Bytes{0xC0, 0x33, 0xDB, 0x05, 0x34, 0xC0}, Bytes{0xC0, 0x33, 0xDB, 0xDB, 0xDC, 0xC0},
        Bytes{0xC0, 0x33, 0xDB, 0xC0},
        concat({Bytes{0xC0}, Bytes(SlipStreamDecoder::maxFrameSize + 1, 0x41)})}) {
    const Bytes stream = concat({slipEncode(good1), bad, slipEncode(good2)});
    // Whole, and with the bad part's escape and its next byte in different reads.
    for (const std::size_t cut : {std::size_t{0}, std::size_t{6}, std::size_t{1000}}) {
      SlipStreamDecoder decoder;
      const auto at = std::min(cut, stream.size());
      auto frames = decoder.feed(ByteView(stream).subspan(0, at));
      const auto rest = decoder.feed(ByteView(stream).subspan(at));
      frames.insert(frames.end(), rest.begin(), rest.end());
      EXPECT_EQ(frames, (std::vector<Bytes>{good1, good2})) << bad.size() << " cut " << cut;
      EXPECT_LE(decoder.pendingSize(), SlipStreamDecoder::maxFrameSize);
    }
  }
  SlipStreamDecoder largest;  // exactly the largest frame still goes through
  const Bytes fits(SlipStreamDecoder::maxFrameSize, 0x41);
  EXPECT_EQ(largest.feed(slipEncode(fits)), std::vector<Bytes>{fits});

  LengthHeaderStreamDecoder lengths;  // a header above 1 MiB leaves no way to the next packet
  auto result = lengths.feed(concat({packetLengthHeaderEncode(good1), {0x00, 0x10, 0x00, 0x01}}));
  EXPECT_TRUE(result.unrecoverable);
  EXPECT_EQ(result.packets, std::vector<Bytes>{good1});
  EXPECT_TRUE(lengths.feed(packetLengthHeaderEncode(good2)).packets.empty());
  EXPECT_FALSE(LengthHeaderStreamDecoder().feed(Bytes{0x00, 0x10, 0x00, 0x00}).unrecoverable);
}

}  // namespace
}  // namespace tempik::link
