#include "link/LengthHeaderStreamDecoder.h"

#include <gtest/gtest.h>

namespace tempik::link {
namespace {

const std::vector<Bytes> kPayloads = {{0xAA, 0xBB, 0xCC}, {}, {0x01, 0x02, 0x03, 0x04, 0x05}};

Bytes stream(const std::vector<Bytes>& packets) {
  Bytes all;
  for (const auto& packet : packets) {
    const Bytes framed = packetLengthHeaderEncode(packet);
    all.insert(all.end(), framed.begin(), framed.end());
  }
  return all;
}

TEST(LengthHeaderStreamDecoder, SplitAtEveryPairOfPositions) {
  const Bytes all = stream(kPayloads);
  const ByteView view(all);
  for (std::size_t first = 0; first <= all.size(); ++first) {
    for (std::size_t second = first; second <= all.size(); ++second) {
      LengthHeaderStreamDecoder decoder;
      std::vector<Bytes> packets;
      for (const auto part :
           {view.subspan(0, first), view.subspan(first, second - first), view.subspan(second)}) {
        auto found = decoder.feed(part);
        EXPECT_FALSE(found.unrecoverable);
        packets.insert(packets.end(), found.packets.begin(), found.packets.end());
      }
      EXPECT_EQ(packets, kPayloads) << "cuts at " << first << " and " << second;
    }
  }
}

TEST(LengthHeaderStreamDecoder, OversizedHeaderMakesTheStreamUnrecoverable) {
  LengthHeaderStreamDecoder decoder;
  Bytes bytes = stream({{0x11}});
  const Bytes oversized{0x00, 0x10, 0x00, 0x01};  // 1 MiB + 1
  bytes.insert(bytes.end(), oversized.begin(), oversized.end());
  auto result = decoder.feed(bytes);
  EXPECT_TRUE(result.unrecoverable);
  EXPECT_EQ(result.packets, (std::vector<Bytes>{{0x11}}));
  result = decoder.feed(stream({{0x22}}));
  EXPECT_TRUE(result.unrecoverable);
  EXPECT_TRUE(result.packets.empty());
  // Exactly 1 MiB is still a packet.
  LengthHeaderStreamDecoder largest;
  EXPECT_FALSE(largest.feed(Bytes{0x00, 0x10, 0x00, 0x00}).unrecoverable);
}

}  // namespace
}  // namespace tempik::link
