#include "net/AsyncSocket.h"

#include <gtest/gtest.h>

#include <cerrno>

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

TEST(AsyncSocketClose, PeerCloseIsCode7AfterEveryByteWasDelivered) {
  Connected test(/*keepReading=*/true);
  std::vector<std::uint8_t> sent(300000);
  for (std::size_t i = 0; i < sent.size(); ++i) sent[i] = static_cast<std::uint8_t>(i % 251);
  ASSERT_TRUE(test.peer.write(sent));
  test.peer.close();
  ASSERT_TRUE(test.delegate->waitForDisconnect());
  EXPECT_EQ(test.delegate->log().received, sent);
  auto disconnect = test.delegate->onlyDisconnect();
  ASSERT_TRUE(disconnect.error.has_value());
  EXPECT_EQ(disconnect.error->domain, kAsyncSocketErrorDomain);
  EXPECT_EQ(disconnect.error->code, 7);
  EXPECT_EQ(disconnect.error->description, "Socket closed by remote peer");
  EXPECT_TRUE(disconnect.hadSocket);
}

TEST(AsyncSocketClose, PeerCloseWithNoReadPendingIsStillNoticed) {
  Connected test;
  test.peer.close();
  ASSERT_TRUE(test.delegate->waitForDisconnect());
  ASSERT_TRUE(test.delegate->onlyDisconnect().error.has_value());
  EXPECT_EQ(test.delegate->onlyDisconnect().error->code, 7);
}

TEST(AsyncSocketClose, DisconnectAfterWritingFlushesThenClosesWithoutError) {
  Connected test;
  test.socket->readDataWithTimeout(-1, 0);  // a pending read does not hold the close back
  test.socket->writeData(bytes("first "), -1, 1);
  test.socket->writeData(bytes("second"), -1, 2);
  test.socket->disconnectAfterWriting();
  test.socket->writeData(bytes(" dropped"), -1, 3);
  test.socket->readDataWithTimeout(-1, 4);
  EXPECT_EQ(test.peer.read(100), bytes("first second"));  // then end of stream
  ASSERT_TRUE(test.delegate->waitForDisconnect());
  EXPECT_FALSE(test.delegate->onlyDisconnect().error.has_value());
  EXPECT_EQ(test.delegate->log().writeTags, (std::vector<std::int64_t>{1, 2}));
  EXPECT_TRUE(test.delegate->log().chunks.empty());
}

TEST(AsyncSocketClose, DisconnectAfterReadingWaitsForTheQueuedRead) {
  Connected test;
  test.socket->readDataWithTimeout(-1, 5);
  test.socket->disconnectAfterReading();
  test.socket->readDataWithTimeout(-1, 6);  // dropped
  ASSERT_TRUE(test.peer.write("last words"));
  ASSERT_TRUE(test.delegate->waitForDisconnect());
  EXPECT_FALSE(test.delegate->onlyDisconnect().error.has_value());
  EXPECT_EQ(test.delegate->log().chunks,
            std::vector<std::vector<std::uint8_t>>{bytes("last words")});
  EXPECT_TRUE(test.peer.waitForEndOfStream());
}

TEST(AsyncSocketClose, DisconnectIsImmediateAndSilentAndLaterRequestsAreDropped) {
  Connected test;
  test.socket->writeData(bytes("before"), -1, 1);
  test.socket->disconnect();
  EXPECT_TRUE(test.socket->isDisconnected());
  test.socket->writeData(bytes("after"), -1, 2);
  test.socket->readDataWithTimeout(-1, 3);
  ASSERT_TRUE(test.delegate->waitForDisconnect());
  EXPECT_FALSE(test.delegate->onlyDisconnect().error.has_value());
  auto received = test.peer.read(100);
  EXPECT_TRUE(received.empty() || received == bytes("before"));
  test.queue->sync([] {});  // every callback posted so far has run
  EXPECT_EQ(test.delegate->log().disconnects.size(), 1u);
  EXPECT_TRUE(test.delegate->log().chunks.empty());
}

TEST(AsyncSocketClose, PeerResetWhileWritesAreQueuedEndsWithAnErrorNotASignal) {
  Connected test;
  for (int i = 0; i < 64; ++i)
    test.socket->writeData(std::vector<std::uint8_t>(256 << 10, 9), -1, i);
  test.peer.reset();
  ASSERT_TRUE(test.delegate->waitForDisconnect(30s));
  auto disconnect = test.delegate->onlyDisconnect();
  ASSERT_TRUE(disconnect.error.has_value());
  const bool resetSeen = disconnect.error->domain == kPosixErrorDomain &&
                         (disconnect.error->code == EPIPE || disconnect.error->code == ECONNRESET);
  const bool closeSeen =
      disconnect.error->domain == kAsyncSocketErrorDomain && disconnect.error->code == 7;
  EXPECT_TRUE(resetSeen || closeSeen) << disconnect.error->description;
  EXPECT_TRUE(test.socket->isDisconnected());
}

TEST(AsyncSocketClose, ASocketMayConnectAgainAfterAClose) {
  Connected test;
  test.socket->disconnect();
  ASSERT_TRUE(test.delegate->waitForDisconnect());
  ASSERT_TRUE(test.connect(test.listener.host(), test.listener.port()));
  auto second = test.listener.accept();
  ASSERT_TRUE(second.valid());
  ASSERT_TRUE(
      test.delegate->waitFor([](const testing::Log& log) { return log.connects.size() == 2; }));
  EXPECT_TRUE(test.socket->isConnected());
}

}  // namespace
}  // namespace tempik::net
