#include "link/SlipStreamDecoder.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "LinkTestSupport.h"

namespace tempik::link {
namespace {

using testing::concat;

ByteView slice(const Bytes& bytes, std::size_t from, std::size_t to) {
  return ByteView(bytes).subspan(from, to - from);
}

const std::vector<Bytes> kPackets = {
    {'/', 'a', 0, 0, ',', 0, 0, 0},
    {0x01, 0xC0, 0x02, 0xDB, 0x03},  // both escapes inside
    {0xDB, 0xC0},                    // escapes at both edges
};

// The way a peer writes: END before and after every packet, so ENDs meet between packets.
const Bytes kStream =
    concat({slipEncode(kPackets[0]), slipEncode(kPackets[1]), slipEncode(kPackets[2])});

TEST(SlipStreamDecoder, SplitAtEveryPairOfPositionsWithAndWithoutEarlyDelivery) {
  // With the check on, a carried frame that is exactly a known packet is delivered early.
  const auto isKnownPacket = [](ByteView frame) {
    return std::any_of(kPackets.begin(), kPackets.end(), [frame](const Bytes& packet) {
      return std::equal(frame.begin(), frame.end(), packet.begin(), packet.end());
    });
  };
  for (const bool early : {false, true}) {
    for (std::size_t first = 0; first <= kStream.size(); ++first) {
      for (std::size_t second = first; second <= kStream.size(); ++second) {
        SlipStreamDecoder decoder = early ? SlipStreamDecoder(isKnownPacket) : SlipStreamDecoder();
        std::vector<Bytes> frames;
        for (const auto part : {slice(kStream, 0, first), slice(kStream, first, second),
                                slice(kStream, second, kStream.size())}) {
          const auto found = decoder.feed(part);
          frames.insert(frames.end(), found.begin(), found.end());
        }
        EXPECT_EQ(frames, kPackets) << "cuts at " << first << ", " << second << " early " << early;
        EXPECT_EQ(decoder.pendingSize(), 0u) << "cuts at " << first << ", " << second;
      }
    }
  }
}

TEST(SlipStreamDecoder, BadEscapeLosesOnlyItsFrame) {
  const Bytes good1{0x11}, good2{0x22};
  const struct {
    const char* name;
    Bytes bad;
  } cases[] = {
      {"escape then data", {0xC0, 0x33, 0xDB, 0x05, 0x34, 0xC0}},
      {"double escape", {0xC0, 0x33, 0xDB, 0xDB, 0xDC, 0xC0}},
      {"escape then END", {0xC0, 0x33, 0xDB, 0xC0}},
  };
  for (const auto& c : cases) {
    const Bytes stream = concat({slipEncode(good1), c.bad, slipEncode(good2)});
    SlipStreamDecoder whole;
    EXPECT_EQ(whole.feed(stream), (std::vector<Bytes>{good1, good2})) << c.name;
    // The bad escape's two bytes arrive in different chunks.
    const auto escape = std::find(stream.begin(), stream.end(), slip::ESC) - stream.begin() + 1;
    SlipStreamDecoder split;
    auto frames = split.feed(slice(stream, 0, static_cast<std::size_t>(escape)));
    const auto rest = split.feed(slice(stream, static_cast<std::size_t>(escape), stream.size()));
    frames.insert(frames.end(), rest.begin(), rest.end());
    EXPECT_EQ(frames, (std::vector<Bytes>{good1, good2})) << c.name << " (split)";
  }
}

TEST(SlipStreamDecoder, MemoryStaysBoundedWithoutEnd) {
  SlipStreamDecoder decoder([](ByteView) { return false; });
  const Bytes chunk(64 * 1024, 0x41);
  std::size_t delivered = 0;
  for (int i = 0; i < 160; ++i) {  // 10 MiB
    decoder.feed(chunk, [&delivered](ByteView) { ++delivered; });
    ASSERT_LE(decoder.pendingSize(), SlipStreamDecoder::maxFrameSize);
  }
  EXPECT_EQ(delivered, 0u);
  // The oversized frame is discarded up to its END; the next frame is whole again.
  const Bytes next = concat({Bytes{0x41, 0xC0}, slipEncode(Bytes{0x42})});
  EXPECT_EQ(decoder.feed(next), (std::vector<Bytes>{{0x42}}));
}

TEST(SlipStreamDecoder, FrameSizeCapHoldsWhateverTheChunking) {
  for (const std::size_t size :
       {SlipStreamDecoder::maxFrameSize, SlipStreamDecoder::maxFrameSize + 1}) {
    const Bytes stream =
        concat({Bytes{0xC0}, Bytes(size, 0x41), Bytes{0xC0}, slipEncode(Bytes{0x42})});
    const bool fits = size <= SlipStreamDecoder::maxFrameSize;
    for (const std::size_t cut : {std::size_t{0}, std::size_t{1000}}) {
      SlipStreamDecoder decoder;
      auto frames = decoder.feed(slice(stream, 0, cut));
      const auto rest = decoder.feed(slice(stream, cut, stream.size()));
      frames.insert(frames.end(), rest.begin(), rest.end());
      ASSERT_EQ(frames.size(), fits ? 2u : 1u) << size << " cut " << cut;
      EXPECT_EQ(frames.back(), (Bytes{0x42}));
    }
  }
}

TEST(SlipStreamDecoder, CarriedWholePacketIsDeliveredWithoutClosingEnd) {
  const Bytes packet{'/', 'a', 0, 0, ',', 0, 0, 0};
  SlipStreamDecoder decoder([&packet](ByteView frame) {
    return std::equal(frame.begin(), frame.end(), packet.begin(), packet.end());
  });
  EXPECT_EQ(decoder.feed(concat({Bytes{0xC0}, Bytes(packet.begin(), packet.begin() + 4)})),
            std::vector<Bytes>{});
  EXPECT_EQ(decoder.feed(Bytes(packet.begin() + 4, packet.end())), std::vector<Bytes>{packet});
  // The late END closes nothing; a second packet follows normally.
  EXPECT_EQ(decoder.feed(concat({Bytes{0xC0}, packet})), std::vector<Bytes>{packet});
  EXPECT_EQ(decoder.feed(Bytes{0xC0, 0xC0}), std::vector<Bytes>{});
}

}  // namespace
}  // namespace tempik::link
