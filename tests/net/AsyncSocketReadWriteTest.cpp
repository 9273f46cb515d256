#include "net/AsyncSocket.h"

#include <gtest/gtest.h>

#include <numeric>

#include "net/RecordingDelegate.h"
#include "support/LoopbackPeer.h"

namespace tempik::net {
namespace {

using namespace std::chrono_literals;
using tempik::fakes::LoopbackListener;
using tempik::fakes::LoopbackPeer;
using testing::bytes;
using testing::Connected;
using testing::SocketUnderTest;

TEST(AsyncSocketRead, BytesArrivingWhileAReadIsPendingComeAsOneChunk) {
  Connected test;
  test.socket->readDataWithTimeout(-1, 42);
  ASSERT_TRUE(test.peer.write("0123456789"));
  ASSERT_TRUE(test.delegate->waitFor([](const testing::Log& log) { return !log.chunks.empty(); }));
  EXPECT_EQ(test.delegate->log().chunks.front(), bytes("0123456789"));
  EXPECT_EQ(test.delegate->log().readTags.front(), 42);
}

TEST(AsyncSocketRead, BytesThatArriveBeforeAnyReadWaitForOne) {
  Connected test;
  ASSERT_TRUE(test.peer.write("early bird"));
  test.socket->readDataWithTimeout(-1, 1);
  ASSERT_TRUE(
      test.delegate->waitFor([](const testing::Log& log) { return log.received.size() >= 5; }));
  test.socket->readDataWithTimeout(-1, 2);
  ASSERT_TRUE(
      test.delegate->waitFor([](const testing::Log& log) { return log.received.size() == 10; }));
  EXPECT_EQ(test.delegate->log().received, bytes("early bird"));
}

TEST(AsyncSocketRead, RequestsQueuedWhileConnectingAreServedOnceConnected) {
  LoopbackListener listener;
  SocketUnderTest test;
  ASSERT_TRUE(test.connect(listener.host(), listener.port()));
  test.socket->writeData(bytes("hello"), -1, 7);
  test.socket->readDataWithTimeout(-1, 8);
  auto peer = listener.accept();
  EXPECT_EQ(peer.read(5), bytes("hello"));
  ASSERT_TRUE(peer.write("world"));
  ASSERT_TRUE(test.delegate->waitFor([](const testing::Log& log) { return !log.chunks.empty(); }));
  EXPECT_EQ(test.delegate->log().chunks.front(), bytes("world"));
  EXPECT_EQ(test.delegate->log().writeTags, std::vector<std::int64_t>{7});
}

TEST(AsyncSocketRead, TimeOutAsksTheDelegateForMoreTimeThenFailsWithCode4) {
  Connected test;
  test.delegate->setExtensions({0.1});
  test.socket->readDataWithTimeout(0.1, 3);
  ASSERT_TRUE(test.delegate->waitForDisconnect());
  auto disconnect = test.delegate->onlyDisconnect();
  ASSERT_TRUE(disconnect.error.has_value());
  EXPECT_EQ(disconnect.error->code, 4);
  EXPECT_EQ(disconnect.error->description, "Read operation timed out");
  ASSERT_EQ(test.delegate->log().timeoutsAsked.size(), 2u);
  EXPECT_GE(test.delegate->log().timeoutsAsked[1],
            0.15);  // counted from the request, not the extension
}

TEST(AsyncSocketWrite, ManyWritesArriveInOrderAndEachCompletes) {
  Connected test;
  std::vector<std::uint8_t> expected;
  for (int i = 0; i < 500; ++i) {
    auto chunk = bytes("packet " + std::to_string(i) + ";");
    expected.insert(expected.end(), chunk.begin(), chunk.end());
    test.socket->writeData(chunk, -1, i);
  }
  test.socket->writeData({}, -1, 999);  // ignored
  EXPECT_EQ(test.peer.read(expected.size()), expected);
  ASSERT_TRUE(
      test.delegate->waitFor([](const testing::Log& log) { return log.writeTags.size() == 500; }));
  std::vector<std::int64_t> tags(500);
  std::iota(tags.begin(), tags.end(), 0);
  EXPECT_EQ(test.delegate->log().writeTags, tags);
}

TEST(AsyncSocketWrite, TenMebibytesReachASlowReader) {
  Connected test;
  std::vector<std::uint8_t> big(10 << 20);
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 7 + i / 4096);
  test.socket->writeData(big, -1, 1);
  // The reader starts only once the kernel buffers are full and the socket waits for room.
  ASSERT_TRUE(
      test.delegate->waitFor([](const testing::Log& log) { return log.partialWrites > 0; }));
  EXPECT_EQ(test.peer.read(big.size(), 60s), big);
  ASSERT_TRUE(
      test.delegate->waitFor([](const testing::Log& log) { return !log.writeTags.empty(); }));
  EXPECT_TRUE(test.delegate->log().disconnects.empty());
}

TEST(AsyncSocketWrite, WriteThatCannotDrainTimesOutWithCode5) {
  Connected test;
  test.socket->writeData(std::vector<std::uint8_t>(16 << 20, 1), 0.2, 1);
  ASSERT_TRUE(test.delegate->waitForDisconnect());
  auto disconnect = test.delegate->onlyDisconnect();
  ASSERT_TRUE(disconnect.error.has_value());
  EXPECT_EQ(disconnect.error->code, 5);
  EXPECT_EQ(disconnect.error->description, "Write operation timed out");
  EXPECT_EQ(test.delegate->log().timeoutsAsked.size(), 1u);
}

}  // namespace
}  // namespace tempik::net
