#include "net/AsyncSocket.h"

#include <gtest/gtest.h>

#include <netinet/in.h>

#include <cerrno>

#include "net/RecordingDelegate.h"
#include "support/LoopbackPeer.h"

namespace tempik::net {
namespace {

using namespace std::chrono_literals;
using tempik::fakes::LoopbackListener;
using testing::kUnresolvableHost;
using testing::SocketUnderTest;

struct FamilyCase {
  const char* name;
  int family;
  std::optional<std::string> interface;
};
void PrintTo(const FamilyCase& each, std::ostream* out) {
  *out << each.name;
}

class ConnectOverFamily : public ::testing::TestWithParam<FamilyCase> {};

TEST_P(ConnectOverFamily, ConnectsAndReportsThePeer) {
  LoopbackListener listener(GetParam().family);
  SocketUnderTest test;
  SocketError error;
  ASSERT_TRUE(
      test.socket->connectToHost(listener.host(), listener.port(), GetParam().interface, 5, error))
      << error.description;
  auto peer = listener.accept();
  ASSERT_TRUE(peer.valid());
  ASSERT_TRUE(test.delegate->waitForConnect());

  EXPECT_EQ(test.delegate->log().connects.front(),
            std::make_pair(listener.host(), listener.port()));
  EXPECT_TRUE(test.socket->isConnected());
  EXPECT_FALSE(test.socket->isDisconnected());
  EXPECT_EQ(test.socket->connectedHost(), listener.host());
  EXPECT_EQ(test.socket->connectedPort(), listener.port());

  test.socket->disconnect();
  EXPECT_TRUE(test.socket->isDisconnected());
  EXPECT_FALSE(test.socket->connectedHost().has_value());
  ASSERT_TRUE(test.delegate->waitForDisconnect());
  EXPECT_FALSE(test.delegate->onlyDisconnect().error.has_value());
  EXPECT_TRUE(peer.waitForEndOfStream());
}

INSTANTIATE_TEST_SUITE_P(Loopback, ConnectOverFamily,
                         ::testing::Values(FamilyCase{"IPv4", AF_INET, std::nullopt},
                                           FamilyCase{"IPv6", AF_INET6, std::nullopt},
                                           FamilyCase{"IPv4ViaInterface", AF_INET, "127.0.0.1"},
                                           FamilyCase{"IPv6ViaInterface", AF_INET6, "::1"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AsyncSocketConnect, LocalhostStartsIPv6OnlyAfterTheDelayWhenIPv4Fails) {
  // 127.0.0.1 refuses at once; ::1 listens on the same port and is tried 0.3 s after the start.
  LoopbackListener taken(AF_INET, false);
  LoopbackListener ipv6Same(AF_INET6, taken.port());
  SocketUnderTest test;
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(test.connect("localhost", taken.port()));
  auto peer = ipv6Same.accept();
  const auto accepted = std::chrono::steady_clock::now();
  ASSERT_TRUE(peer.valid());
  EXPECT_GE(accepted - start, 250ms);
  ASSERT_TRUE(test.delegate->waitForConnect());
  EXPECT_EQ(test.delegate->log().connects.front().first, "::1");
}

TEST(AsyncSocketConnect, LocalhostNeverTriesIPv6WhenIPv4Connects) {
  LoopbackListener ipv4(AF_INET);
  LoopbackListener ipv6(AF_INET6, ipv4.port());
  SocketUnderTest test;
  ASSERT_TRUE(test.connect("localhost", ipv4.port()));
  ASSERT_TRUE(ipv4.accept().valid());
  ASSERT_TRUE(test.delegate->waitForConnect());
  EXPECT_EQ(test.delegate->log().connects.front().first, "127.0.0.1");
  // Well past the 0.3 s delay, ::1 has still not been asked.
  EXPECT_FALSE(ipv6.accept(700ms).valid());
}

TEST(AsyncSocketConnect, RefusedConnectionIsAPosixConnectError) {
  LoopbackListener closed(AF_INET, false);
  SocketUnderTest test;
  ASSERT_TRUE(test.connect("127.0.0.1", closed.port()));
  ASSERT_TRUE(test.delegate->waitForDisconnect());
  auto disconnect = test.delegate->onlyDisconnect();
  ASSERT_TRUE(disconnect.error.has_value());
  EXPECT_EQ(disconnect.error->domain, kPosixErrorDomain);
  EXPECT_EQ(disconnect.error->code, ECONNREFUSED);
  EXPECT_EQ(disconnect.error->failureReason, "Error in connect() function");
  EXPECT_TRUE(test.delegate->log().connects.empty());
  EXPECT_TRUE(test.socket->isDisconnected());
}

TEST(AsyncSocketConnect, UnresolvableNameIsANetDBError) {
  SocketUnderTest test;
  ASSERT_TRUE(test.connect(kUnresolvableHost, 3038, -1));
  ASSERT_TRUE(test.delegate->waitForDisconnect(60s));
  auto disconnect = test.delegate->onlyDisconnect();
  ASSERT_TRUE(disconnect.error.has_value());
  EXPECT_EQ(disconnect.error->domain, kNetDBErrorDomain);
  EXPECT_FALSE(disconnect.error->description.empty());
  EXPECT_TRUE(test.delegate->log().connects.empty());
}

TEST(AsyncSocketConnect, NoAnswerWithinTheTimeoutIsCode3) {
  tempik::fakes::FullBacklogListener silent;
  SocketUnderTest test;
  ASSERT_TRUE(test.connect("127.0.0.1", silent.port(), 0.3));
  ASSERT_TRUE(test.delegate->waitForDisconnect());
  auto disconnect = test.delegate->onlyDisconnect();
  ASSERT_TRUE(disconnect.error.has_value());
  EXPECT_EQ(disconnect.error->domain, kAsyncSocketErrorDomain);
  EXPECT_EQ(disconnect.error->code, 3);
  EXPECT_EQ(disconnect.error->description, "Attempt to connect to host timed out");
  EXPECT_TRUE(test.delegate->log().connects.empty());
  ASSERT_TRUE(AsyncSocketError::from(*disconnect.error).has_value());
  EXPECT_EQ(AsyncSocketError::from(*disconnect.error)->code(),
            AsyncSocketErrorCode::connectTimeout);
}

TEST(AsyncSocketConnect, ImmediateFailuresStartNothing) {
  LoopbackListener listener;
  struct Case {
    const char* name;
    std::function<void(SocketUnderTest&)> prepare;
    std::string host;
    std::optional<std::string> interface;
    int code;
    std::string text;
  };
  const std::vector<Case> cases = {
      {"empty host", nullptr, "", std::nullopt, 2,
       "Invalid host parameter (nil or \"\"). Should be a domain name or IP address string."},
      {"while connected",
       [&](SocketUnderTest& test) {
         ASSERT_TRUE(test.connect("127.0.0.1", listener.port()));
         ASSERT_TRUE(test.delegate->waitForConnect());
       },
       "127.0.0.1", std::nullopt, 1,
       "Attempting to connect while connected or accepting connections. Disconnect first."},
      {"both families disabled",
       [](SocketUnderTest& test) {
         test.socket->setIPv4Enabled(false);
         test.socket->setIPv6Enabled(false);
       },
       "127.0.0.1", std::nullopt, 1,
       "Both IPv4 and IPv6 have been disabled. Must enable at least one protocol first."},
      {"no delegate", [](SocketUnderTest& test) { test.delegate.reset(); }, "127.0.0.1",
       std::nullopt, 1, "Attempting to connect without a delegate. Set a delegate first."},
      {"unknown interface", nullptr, "127.0.0.1", "tempik-no-such-if0", 2,
       "Unknown interface. Specify valid interface by name (e.g. \"en1\") or IP address."},
  };
  for (const auto& each : cases) {
    SCOPED_TRACE(each.name);
    SocketUnderTest test;
    if (each.prepare) each.prepare(test);
    const bool wasDisconnected = test.socket->isDisconnected();
    SocketError error;
    EXPECT_FALSE(test.socket->connectToHost(each.host, listener.port(), each.interface, 5, error));
    EXPECT_EQ(error.domain, kAsyncSocketErrorDomain);
    EXPECT_EQ(error.code, each.code);
    EXPECT_EQ(error.description, each.text);
    EXPECT_EQ(test.socket->isDisconnected(), wasDisconnected);
  }
}

}  // namespace
}  // namespace tempik::net
