#include "link/EosOscTransport.h"

#include <gtest/gtest.h>

#include <map>
#include <thread>

#include "LinkTestSupport.h"
#include "net/SerialQueue.h"
#include "osc/OSCBundle.h"
#include "osc/OSCPacket.h"
#include "support/LoopbackPeer.h"

namespace tempik::link {
namespace {

using fakes::LoopbackListener;
using fakes::LoopbackPeer;
using testing::Inbox;
using testing::kPatience;
using testing::slipFrame;

struct Received {
  std::string address;
  std::vector<std::string> arguments;
  bool operator==(const Received&) const = default;
};

class EosOscTransportTest : public ::testing::Test {
 protected:
  ConnectOutcome connect(const std::string& host, std::int64_t port) {
    auto inbox = std::make_shared<Inbox<ConnectOutcome>>();
    transport->connect(host, port, [inbox](ConnectOutcome outcome) { inbox->push(outcome); });
    const auto outcome = inbox->pop();
    EXPECT_TRUE(outcome.has_value()) << "connect did not complete";
    return outcome.value_or(std::nullopt);
  }

  std::optional<SendError> send(const std::string& address, std::vector<std::string> arguments) {
    auto inbox = std::make_shared<Inbox<std::optional<SendError>>>();
    transport->send(address, std::move(arguments),
                    [inbox](std::optional<SendError> error) { inbox->push(std::move(error)); });
    const auto result = inbox->pop();
    EXPECT_TRUE(result.has_value()) << "send did not complete";
    return result.value_or(std::nullopt);
  }

  // The drop of a connection reaches the client asynchronously; sends fail once it has.
  bool waitUntilSendFails() {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (std::chrono::steady_clock::now() < deadline) {
      if (const auto error = send("/probe", {}))
        return error->kind == SendError::Kind::notConnected;
      std::this_thread::yield();
    }
    return false;
  }

  static LoopbackPeer accept(const LoopbackListener& console) {
    LoopbackPeer peer = console.accept(kPatience);
    EXPECT_TRUE(peer.valid()) << "no connection";
    return peer;
  }

  void installHandler() {
    auto done = std::make_shared<Inbox<bool>>();
    transport->setReceiveHandler(
        [inbox = received](const std::string& address, const std::vector<std::string>& arguments) {
          inbox->push({address, arguments});
        },
        [done] { done->push(true); });
    ASSERT_TRUE(done->pop().has_value());
  }

  std::shared_ptr<net::SerialQueue> completions = net::SerialQueue::create("test.completions");
  std::shared_ptr<EosOscTransport> transport = EosOscTransport::create(
      [queue = completions](std::function<void()> job) { queue->async(std::move(job)); });
  std::shared_ptr<Inbox<Received>> received = std::make_shared<Inbox<Received>>();
};

TEST_F(EosOscTransportTest, SendWritesTheSlipFrameOfAStringMessage) {
  const LoopbackListener console;
  ASSERT_EQ(connect("127.0.0.1", console.port()), ConnectOutcome{false});
  const LoopbackPeer peer = accept(console);
  EXPECT_EQ(send("/eos/user/20/newcmd", {"Effect 1 BPM 120#", "x"}), std::nullopt);
  const Bytes expected =
      slipFrame(osc::OSCMessage("/eos/user/20/newcmd", {"Effect 1 BPM 120#", "x"}));
  EXPECT_EQ(peer.read(expected.size(), kPatience), expected);
}

TEST_F(EosOscTransportTest, ReceivesStringArgumentsOfEveryMessageInOrderAcrossReconnects) {
  const LoopbackListener console;
  ASSERT_EQ(connect("localhost", console.port()), ConnectOutcome{false});
  LoopbackPeer first = accept(console);
  // Read and dropped before any handler exists: the socket reports the drop only after
  // handing over the bytes before it, and the handler is installed after that.
  first.write(slipFrame(osc::OSCMessage("/before/handler")));
  first.close();
  ASSERT_TRUE(waitUntilSendFails());
  ASSERT_EQ(connect("localhost", console.port()), ConnectOutcome{false});  // tried again
  EXPECT_EQ(transport->connectAttempt(), 2);
  const LoopbackPeer second = accept(console);
  installHandler();  // on the current client at once
  second.write(testing::concat(
      {slipFrame(osc::OSCMessage("/one", {"1", 2, "x"})), slipFrame(osc::OSCMessage("/two")),
       slipFrame(osc::OSCBundle({osc::OSCPacket(osc::OSCMessage("/three", {"y"}))}))}));
  EXPECT_EQ(received->pop(), (Received{"/one", {"1", "x"}}));
  EXPECT_EQ(received->pop(), (Received{"/two", {}}));
  EXPECT_EQ(received->pop(), (Received{"/three", {"y"}}));
  // And on every later client.
  const LoopbackListener other;
  ASSERT_EQ(connect("127.0.0.1", other.port()), ConnectOutcome{false});
  const LoopbackPeer third = accept(other);
  third.write(slipFrame(osc::OSCMessage("/tempik/tap")));
  EXPECT_EQ(received->pop(), (Received{"/tempik/tap", {}}));
  EXPECT_EQ(received->size(), 0u);
}

TEST_F(EosOscTransportTest, ReusesOrReplacesTheConnection) {
  const LoopbackListener console, other;
  ASSERT_EQ(connect("127.0.0.1", console.port()), ConnectOutcome{false});
  const LoopbackPeer first = accept(console);
  EXPECT_EQ(connect("127.0.0.1", console.port()), ConnectOutcome{true});
  EXPECT_EQ(transport->connectAttempt(), 1);
  // Another port replaces the client and closes the old one.
  EXPECT_EQ(connect("127.0.0.1", other.port()), ConnectOutcome{false});
  const LoopbackPeer second = accept(other);
  EXPECT_TRUE(first.waitForEndOfStream(kPatience));
  EXPECT_EQ(transport->connectAttempt(), 2);
  EXPECT_FALSE(console.accept(std::chrono::milliseconds(0)).valid()) << "reuse connected again";
  // Invalid settings make no attempt and drop the working connection.
  for (const auto& [host, port] : std::vector<std::pair<std::string, std::int64_t>>{
           {"", other.port()}, {"127.0.0.1", 0}, {"127.0.0.1", 65536}}) {
    EXPECT_EQ(connect(host, port), std::nullopt) << "'" << host << "' " << port;
  }
  EXPECT_TRUE(second.waitForEndOfStream(kPatience));
  EXPECT_EQ(transport->connectAttempt(), 2);
  EXPECT_EQ(send("/a", {}).value_or(SendError{}).kind, SendError::Kind::notConnected);
  // The edge ports are valid and attempted (nothing listens there).
  connect("127.0.0.1", 1);
  connect("127.0.0.1", 65535);
  EXPECT_EQ(transport->connectAttempt(), 4);
}

TEST_F(EosOscTransportTest, OnlyTheLatestOfOverlappingAttemptsCounts) {
  // Both attempts wait while the listener's queue is full, so the second starts before the
  // first ends; once the queue grows, both sockets connect.
  const LoopbackListener console(AF_INET, /*listen=*/true, /*backlog=*/0);
  const LoopbackPeer filler(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(console.port());
  ASSERT_EQ(::connect(filler.fd(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  auto outcomes = std::make_shared<Inbox<std::pair<int, ConnectOutcome>>>();
  for (int call = 1; call <= 2; ++call) {
    transport->connect("127.0.0.1", console.port(), [outcomes, call](ConnectOutcome outcome) {
      outcomes->push({call, outcome});
    });
  }
  ASSERT_EQ(transport->connectAttempt(), 2);
  ::listen(console.fd(), 16);
  std::map<int, ConnectOutcome> results;
  for (int i = 0; i < 2; ++i) {
    const auto result = outcomes->pop();
    ASSERT_TRUE(result.has_value());
    results[result->first] = result->second;
  }
  EXPECT_EQ(results[1], std::nullopt);
  EXPECT_EQ(results[2], ConnectOutcome{false});
  // After the filler's, the older socket is closed and the newer one gets what is sent.
  const LoopbackPeer queued = accept(console);
  const LoopbackPeer attempts[] = {accept(console), accept(console)};
  EXPECT_EQ(send("/still/here", {}), std::nullopt);
  const Bytes expected = slipFrame(osc::OSCMessage("/still/here"));
  int current = 0, closed = 0;
  for (const auto& peer : attempts) {
    if (peer.read(expected.size(), kPatience) == expected) {
      ++current;
    } else if (peer.waitForEndOfStream(kPatience)) {
      ++closed;
    }
  }
  EXPECT_EQ(current, 1);
  EXPECT_EQ(closed, 1);
}

TEST_F(EosOscTransportTest, FailedAttemptsReturnNothing) {
  const LoopbackListener refusing(AF_INET, /*listen=*/false);
  const auto refusedStart = std::chrono::steady_clock::now();
  EXPECT_EQ(connect("127.0.0.1", refusing.port()), std::nullopt);
  EXPECT_LT(std::chrono::steady_clock::now() - refusedStart, std::chrono::seconds(4));

  // A listener whose queue is full never answers: the attempt ends after about 5 s.
  const fakes::FullBacklogListener silent;
  const auto silentStart = std::chrono::steady_clock::now();
  EXPECT_EQ(connect("127.0.0.1", silent.port()), std::nullopt);
  EXPECT_GE(std::chrono::steady_clock::now() - silentStart, std::chrono::milliseconds(4900));
}

}  // namespace
}  // namespace tempik::link
