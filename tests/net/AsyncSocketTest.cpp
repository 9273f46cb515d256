// The asynchronous TCP socket on loopback: connecting over either family, failures and their
// texts, reading and writing whatever the timing, closing every way, and lifetimes.
#include "net/AsyncSocket.h"

#include <gtest/gtest.h>

#ifdef __linux__
#include <netinet/tcp.h>
#endif

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <future>
#include <numeric>

#include "SocketUnderTest.h"
#include "support/ProcessResources.h"

namespace tempik::net {
namespace {

using namespace testing;
using fakes::LoopbackListener;

#ifdef __linux__
// An option of the socket's own descriptor: the one whose local address is the peer's remote
// address (-1 when there is none).
int optionFacing(const fakes::LoopbackPeer& peer, int level, int name) {
  sockaddr_storage wanted{}, found{};
  socklen_t length = sizeof wanted, foundLength = sizeof found, valueLength = sizeof(int);
  ::getpeername(peer.fd(), reinterpret_cast<sockaddr*>(&wanted), &length);
  int fd = 0, value = -1;
  for (; fd < 1024; ++fd, foundLength = sizeof found) {
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&found), &foundLength) == 0 &&
        foundLength == length && std::memcmp(&found, &wanted, length) == 0)
      break;
  }
  ::getsockopt(fd, level, name, &value, &valueLength);
  return value;
}

// Keepalive on, unacknowledged ms, idle s, interval s, probes of the socket facing peer.
std::optional<std::vector<int>> silenceOptionsFacing(const fakes::LoopbackPeer& peer) {
  return std::vector<int>{optionFacing(peer, SOL_SOCKET, SO_KEEPALIVE),
                          optionFacing(peer, IPPROTO_TCP, TCP_USER_TIMEOUT),
                          optionFacing(peer, IPPROTO_TCP, TCP_KEEPIDLE),
                          optionFacing(peer, IPPROTO_TCP, TCP_KEEPINTVL),
                          optionFacing(peer, IPPROTO_TCP, TCP_KEEPCNT)};
}
#else
// Read back through the descriptor numbers of Linux only.
std::optional<std::vector<int>> silenceOptionsFacing(const fakes::LoopbackPeer&) {
  return std::nullopt;
}
#endif

TEST(AsyncSocketConnect, ReachesEitherFamilyReportsThePeerAndAppliesSilenceLimits) {
  for (const auto& [family, local] : std::vector<std::pair<int, std::optional<std::string>>>{
           {AF_INET, std::nullopt}, {AF_INET6, std::nullopt}, {AF_INET6, "::1"}}) {
    const LoopbackListener listener(family);
    SocketUnderTest test;
    // Limits on either family; the last goes without, to show that keepalive is otherwise off.
    const auto limits = local ? std::nullopt : std::optional(SilenceLimits{});
    test.socket->setSilenceLimits(limits);
    SocketError error;
    ASSERT_TRUE(test.socket->connectToHost(listener.host(), listener.port(), local, 5, error));
    const auto peer = listener.accept();
    ASSERT_TRUE(peer.valid() && test.waitForConnect()) << listener.host();
    if (const auto options = silenceOptionsFacing(peer)) {
      EXPECT_EQ(options->front(), limits ? 1 : 0) << listener.host();
      if (limits) {
        EXPECT_EQ(*options, (std::vector<int>{1, 5000, 5, 1, 3}));
      }
    }
    EXPECT_EQ(test.delegate->log().connects[0],
              listener.host() + " " + std::to_string(listener.port()));
    EXPECT_EQ(test.socket->connectedHost(), listener.host());
    EXPECT_EQ(test.socket->connectedPort(), listener.port());
    test.socket->disconnect();
    EXPECT_TRUE(test.socket->isDisconnected());
    EXPECT_EQ(test.delegate->disconnectError(), std::nullopt);
    EXPECT_TRUE(peer.waitForEndOfStream());
  }
}

TEST(AsyncSocketConnect, LocalhostTriesIPv6OnlyAfterTheDelayAndOnlyWhenIPv4Fails) {
  {  // 127.0.0.1 refuses at once; ::1 listens on the same port and is tried 0.3 s after the start
    const LoopbackListener refusing(AF_INET, -1), ipv6(AF_INET6, 16, refusing.port());
    SocketUnderTest test;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(test.connect("localhost", refusing.port()));
    ASSERT_TRUE(ipv6.accept().valid());
    EXPECT_GE(std::chrono::steady_clock::now() - start, 250ms);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms);
    ASSERT_TRUE(test.waitForConnect());
    EXPECT_EQ(test.delegate->log().connects[0], "::1 " + std::to_string(refusing.port()));
  }
  const LoopbackListener ipv4(AF_INET), ipv6(AF_INET6, 16, ipv4.port());
  SocketUnderTest test;
  ASSERT_TRUE(test.connect("localhost", ipv4.port()));
  ASSERT_TRUE(ipv4.accept().valid() && test.waitForConnect());
  EXPECT_EQ(test.delegate->log().connects[0], "127.0.0.1 " + std::to_string(ipv4.port()));
  EXPECT_FALSE(ipv6.accept(700ms).valid()) << "well past the delay, ::1 was asked";
}

TEST(AsyncSocketConnect, FailuresCarryTheirDomainCodeAndText) {
  const LoopbackListener refusing(AF_INET, -1);
  const fakes::FullBacklogListener silent;
  const struct {
    std::string host;
    std::uint16_t port;
    double timeout;
    std::string_view domain;
    int code;  // -1: whatever the resolver says
    std::string text;
  } failures[] = {
      {"127.0.0.1", refusing.port(), 10, kPosixErrorDomain, ECONNREFUSED, "Connection refused"},
      {kUnresolvableHost, 3038, -1, kNetDBErrorDomain, -1, ""},
      {"127.0.0.1", silent.port(), 0.3, kAsyncSocketErrorDomain, 3,
       "Attempt to connect to host timed out"},
  };
  for (const auto& c : failures) {
    SocketUnderTest test;
    ASSERT_TRUE(test.connect(c.host, c.port, c.timeout));
    const auto error = test.delegate->disconnectError();
    ASSERT_TRUE(error.has_value()) << c.host;
    EXPECT_EQ(error->domain, c.domain);
    EXPECT_EQ(error->code, c.code == -1 ? error->code : c.code);
    EXPECT_EQ(error->description, c.text.empty() ? error->description : c.text);
    EXPECT_TRUE(test.delegate->log().connects.empty());
  }
}

TEST(AsyncSocketReadWrite, BytesArriveInOrderWhateverTheTimingOfReadsAndWrites) {
  const LoopbackListener listener;
  SocketUnderTest test;
  ASSERT_TRUE(test.connect(listener.host(), listener.port()));
  test.socket->writeData(bytes("hello"), -1, 7);  // queued while connecting
  test.socket->readDataWithTimeout(-1, 8);
  const auto peer = listener.accept();
  EXPECT_EQ(peer.read(5), bytes("hello"));
  ASSERT_TRUE(peer.write("0123456789"));  // arrives while a read waits: one chunk
  ASSERT_TRUE(test.delegate->waitUntil([](const Log& log) { return !log.chunks.empty(); }));
  EXPECT_EQ(test.delegate->log().chunks, std::vector<Bytes>{bytes("0123456789")});
  ASSERT_TRUE(peer.write("early bird"));  // arrives before any read asks for it
  ASSERT_TRUE(peer.read(1, 200ms).empty());
  test.socket->readDataWithTimeout(-1, 9);
  ASSERT_TRUE(test.delegate->waitUntil([](const Log& log) { return log.received.size() == 20; }));
  EXPECT_EQ(test.delegate->log().received, bytes("0123456789early bird"));
  Bytes expected;
  for (int i = 1; i <= 100; ++i) {
    const auto chunk = bytes("packet " + std::to_string(i) + ";");
    expected.insert(expected.end(), chunk.begin(), chunk.end());
    test.socket->writeData(chunk, -1, i);
  }
  EXPECT_EQ(peer.read(expected.size()), expected);
  ASSERT_TRUE(test.delegate->waitUntil([](const Log& log) { return log.writeTags.size() == 101; }));
  EXPECT_EQ(test.delegate->log().writeTags.back(), 100);
}

TEST(AsyncSocketReadWrite, TenMebibytesReachASlowReaderInPieces) {
  Connected test;
  Bytes big(10 << 20);
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 7 + i / 4096);
  test.socket->writeData(big, -1, 1);
  // The reader starts only once the kernel buffers are full and the socket waits for room.
  ASSERT_TRUE(test.delegate->waitUntil([](const Log& log) { return log.partialWrites > 0; }));
  EXPECT_EQ(test.peer.read(big.size(), 60s), big);
  ASSERT_TRUE(test.delegate->waitUntil([](const Log& log) { return !log.writeTags.empty(); }));
  EXPECT_TRUE(test.delegate->log().disconnects.empty());
}

TEST(AsyncSocketClose, ThePeerClosingIsCode7AfterEveryByteAndAResetIsNoSignal) {
  Connected closed(/*keepReading=*/true);
  Bytes sent(300000);
  std::iota(sent.begin(), sent.end(), 0);
  ASSERT_TRUE(closed.peer.write(sent));
  closed.peer.close();
  const auto error = closed.delegate->disconnectError();
  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(error->domain, kAsyncSocketErrorDomain);
  EXPECT_EQ(error->code, 7);
  EXPECT_EQ(error->description, "Socket closed by remote peer");
  EXPECT_EQ(closed.delegate->log().received, sent);
  EXPECT_TRUE(closed.delegate->log().lastDisconnectHadSocket);
  // Writing on after the peer has gone: its kernel answers with a reset, and the next write
  // fails. An error, and the process lives on (no SIGPIPE).
  Connected halfOpen(/*keepReading=*/true);
  halfOpen.socket->setAutoDisconnectOnClosedReadStream(false);  // it reads the end, writes on
  halfOpen.peer.close();
  for (int i = 0; i < 1000 && halfOpen.delegate->log().disconnects.empty(); ++i) {
    halfOpen.socket->writeData(bytes("x"), -1, i);
    halfOpen.delegate->waitUntil(
        [i](const Log& log) { return !log.disconnects.empty() || int(log.writeTags.size()) > i; });
  }
  const auto writeError = halfOpen.delegate->disconnectError();
  ASSERT_TRUE(writeError.has_value());
  EXPECT_TRUE(writeError->code == EPIPE || writeError->code == ECONNRESET)
      << writeError->description;
}

TEST(AsyncSocketClose, AfterWritingFlushesFirstAtOnceDropsTheRestAndAbortResets) {
  Connected test;
  test.socket->readDataWithTimeout(-1, 0);  // a pending read does not hold the close back
  test.socket->writeData(bytes("first "), -1, 1);
  test.socket->writeData(bytes("second"), -1, 2);
  test.socket->disconnectAfterWriting();
  test.socket->writeData(bytes(" dropped"), -1, 3);
  EXPECT_EQ(test.peer.read(100), bytes("first second"));  // then end of stream
  EXPECT_EQ(test.delegate->disconnectError(), std::nullopt);
  EXPECT_EQ(test.delegate->log().writeTags, (std::vector<std::int64_t>{1, 2}));

  Connected atOnce;
  atOnce.socket->disconnect();
  EXPECT_TRUE(atOnce.socket->isDisconnected());
  atOnce.socket->writeData(bytes("after"), -1, 2);
  atOnce.socket->abort();  // nothing left to abort: no second disconnect
  EXPECT_TRUE(atOnce.peer.waitForEndOfStream());
  atOnce.queue->sync([] {});  // every callback posted so far has run
  EXPECT_EQ(atOnce.delegate->log().disconnects.size(), 1u);
  EXPECT_TRUE(atOnce.delegate->log().writeTags.empty());
  ASSERT_TRUE(atOnce.connect(atOnce.listener.host(), atOnce.listener.port()));  // and again
  ASSERT_TRUE(atOnce.listener.accept().valid());
  ASSERT_TRUE(atOnce.delegate->waitUntil([](const Log& log) { return log.connects.size() == 2; }));

  // Aborting behind a peer that stopped reading: the rest is dropped, and the peer's read fails
  // rather than ending.
  Connected aborted;
  aborted.socket->writeData(Bytes(8 << 20), -1, 1);
  ASSERT_TRUE(aborted.delegate->waitUntil([](const Log& log) { return log.partialWrites > 0; }));
  aborted.socket->abort();
  // read() ends at the failed recv(); its error is taken before any other call (on Windows,
  // freeing memory may overwrite it)
  const auto received = aborted.peer.read(SIZE_MAX);
  const int error = platform::lastSocketError();
  EXPECT_LT(received.size(), 8u << 20);
  if (fakes::closeWithResetReachesPeer()) {
    EXPECT_EQ(error, ECONNRESET);
  }
  EXPECT_EQ(aborted.delegate->disconnectError(), std::nullopt);
}

// The platform's own calls on a blocking socket: connected at once, the bytes waiting counted,
// and a peek (the end-of-stream probe) leaves them for the read.
TEST(SocketPlatform, APeekLeavesTheBytesThatAreCountedForTheRead) {
  const LoopbackListener listener;
  const fakes::LoopbackPeer client(platform::openStreamSocket(AF_INET));
  ASSERT_EQ(platform::startConnect(client.fd(), SocketAddress::loopback4(listener.port())), 0);
  const auto server = listener.accept();
  ASSERT_TRUE(server.write("ab"));
  ASSERT_TRUE(fakes::waitReady(client.fd(), platform::Wait::read, 10s));
  EXPECT_EQ(platform::bytesAvailable(client.fd()), 2u);
  char first = 0;
  EXPECT_EQ(platform::receive(client.fd(), &first, 1, /*peek=*/true), 1);
  EXPECT_EQ(client.read(2), bytes("ab"));
}

TEST(AsyncSocketLifetime, DestroyedWithCallbacksInFlightCallsNothingMoreWithIt) {
  Connected test(/*keepReading=*/true);
  std::promise<void> release, holding;
  test.queue->async([&] {  // holds the delegate queue while the socket posts its callbacks
    holding.set_value();
    release.get_future().wait();
  });
  holding.get_future().wait();
  ASSERT_TRUE(test.peer.write("in flight"));
  test.peer.close();
  for (auto end = std::chrono::steady_clock::now() + 30s;
       !test.socket->isDisconnected() && std::chrono::steady_clock::now() < end;) {
  }
  test.socket.reset();
  release.set_value();
  test.queue->sync([] {});
  EXPECT_TRUE(test.delegate->log().chunks.empty());
  EXPECT_EQ(test.delegate->log().disconnects.size(), 1u);
  EXPECT_FALSE(test.delegate->log().lastDisconnectHadSocket);
}

// Runs only in a private network namespace that drops every packet carrying the mark given in
// TEMPIK_SILENT_MARK (ctest starts it in one through scripts/silent-network): marking the
// peer's socket makes it fall silent without closing.
TEST(AsyncSocketLiveness, APeerFallenSilentIsNoticedWithinSecondsBusyOrIdle) {
#ifndef SO_MARK
  GTEST_SKIP() << "marks the peer's packets to drop them (SO_MARK), which Linux alone can";
#else
  const char* mark = std::getenv("TEMPIK_SILENT_MARK");
  if (!mark) GTEST_SKIP() << "needs a network that can fall silent (scripts/silent-network)";
  Connected busy(false, SilenceLimits{}), idle(false, SilenceLimits{});
  for (const int value = std::stoi(mark, nullptr, 0); const auto* test : {&busy, &idle})
    ASSERT_EQ(::setsockopt(test->peer.fd(), SOL_SOCKET, SO_MARK, &value, sizeof value), 0);
  const auto start = std::chrono::steady_clock::now();
  busy.socket->writeData(bytes("never acknowledged"), -1, 1);
  for (const auto& [name, test] : {std::pair{"busy", &busy}, std::pair{"idle", &idle}}) {
    const auto error = test->delegate->disconnectError();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%s connection: silence noticed after %.1f s\n", name, took.count());
    EXPECT_LT(took, 10s) << name;
    EXPECT_EQ(error ? error->code : 0, ETIMEDOUT) << name;
  }
#endif
}

// Every path that makes or drops a descriptor, many times over, leaves none behind, nor a
// thread.
TEST(AsyncSocketLifetime, ThousandCyclesLeaveNoDescriptorOrThread) {
  const LoopbackListener listener, refusing(AF_INET, -1);
  const fakes::FullBacklogListener silent;
  {
    SocketUnderTest warmUp;  // the facility's threads start on first use
    ASSERT_TRUE(warmUp.connect(kUnresolvableHost, 1, -1));
    warmUp.delegate->disconnectError();
  }
  const auto before = fakes::ProcessResources::now();
  for (int cycle = 0; cycle < 1000; ++cycle) {
    SocketUnderTest test(/*keepReading=*/true);
    test.socket->setAlternateAddressDelay(0);
    if (cycle % 10 == 0) {  // refused on both families
      ASSERT_TRUE(test.connect("localhost", refusing.port()));
    } else if (cycle % 10 < 3) {  // destroyed mid-connect, or timed out
      ASSERT_TRUE(test.connect("127.0.0.1", silent.port(), cycle % 10 == 1 ? -1 : 0.02));
      if (cycle % 10 == 1) test.socket.reset();
    } else {  // connect, exchange, disconnect from either end
      // By name now and then: the IPv6 socket is made and dropped unstarted.
      if (cycle % 10 == 3) test.socket->setAlternateAddressDelay(10);
      ASSERT_TRUE(test.connect(cycle % 10 == 3 ? "localhost" : "127.0.0.1", listener.port()));
      auto peer = listener.accept();
      test.socket->writeData(bytes("ping"), -1, 0);
      ASSERT_EQ(peer.read(4), bytes("ping"));
      ASSERT_TRUE(peer.write("pong"));
      ASSERT_TRUE(
          test.delegate->waitUntil([](const Log& log) { return log.received.size() == 4; }));
      cycle % 2 == 0 ? test.socket->disconnect() : peer.close();
    }
    ASSERT_TRUE(test.delegate->waitUntil([](const Log& log) { return !log.disconnects.empty(); }))
        << cycle;
  }
  const auto after = fakes::ProcessResources::now();
  EXPECT_EQ(after.descriptors, before.descriptors);
  EXPECT_EQ(after.threads, before.threads);
}

}  // namespace
}  // namespace tempik::net
