#include "link/EosOscTransport.h"

#include <gtest/gtest.h>

#include <map>

#include "LinkTestSupport.h"
#include "net/SerialQueue.h"
#include "osc/OSCBundle.h"
#include "osc/OSCPacket.h"

namespace tempik::link {
namespace {

using testing::FakeConsole;
using testing::Inbox;
using testing::slipFrame;

struct Received {
  std::string address;
  std::vector<std::string> arguments;
  bool operator==(const Received&) const = default;
};

// A port that nothing listens on: bound once, then released.
std::uint16_t closedPort() {
  FakeConsole console(/*accepting=*/false);
  return console.port();
}

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
    const auto deadline = std::chrono::steady_clock::now() + testing::kPatience;
    while (std::chrono::steady_clock::now() < deadline) {
      if (const auto error = send("/probe", {}))
        return error->kind == SendError::Kind::notConnected;
      std::this_thread::yield();
    }
    return false;
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
  FakeConsole console;
  ASSERT_EQ(connect("127.0.0.1", console.port()), ConnectOutcome{false});
  EXPECT_EQ(send("/eos/user/20/newcmd", {"Effect 1 BPM 120#", "x"}), std::nullopt);
  const Bytes expected =
      slipEncode(osc::OSCMessage("/eos/user/20/newcmd", {"Effect 1 BPM 120#", "x"}).rawData());
  EXPECT_EQ(console.waitForBytes(0, expected.size()), expected);
}

TEST_F(EosOscTransportTest, ReceivesStringArgumentsOfEveryMessageInOrder) {
  FakeConsole console;
  ASSERT_EQ(connect("localhost", console.port()), ConnectOutcome{false});
  ASSERT_TRUE(console.waitForConnections(1));
  // Read and dropped before any handler exists: the socket reports the drop only after
  // handing over the bytes before it, and the handler is installed after that.
  console.write(0, slipFrame(osc::OSCMessage("/before/handler")));
  console.drop(0);
  ASSERT_TRUE(waitUntilSendFails());
  ASSERT_EQ(connect("localhost", console.port()), ConnectOutcome{false});
  ASSERT_TRUE(console.waitForConnections(2));
  installHandler();  // on the current client at once
  Bytes chunk;
  for (const auto& packet :
       {osc::OSCPacket(osc::OSCMessage("/one", {"1", 2, "x"})),
        osc::OSCPacket(osc::OSCMessage("/two")),
        osc::OSCPacket(osc::OSCBundle({osc::OSCPacket(osc::OSCMessage("/three", {"y"}))}))}) {
    const Bytes frame = slipFrame(packet);
    chunk.insert(chunk.end(), frame.begin(), frame.end());
  }
  console.write(1, chunk);
  EXPECT_EQ(received->pop(), (Received{"/one", {"1", "x"}}));
  EXPECT_EQ(received->pop(), (Received{"/two", {}}));
  EXPECT_EQ(received->pop(), (Received{"/three", {"y"}}));
  // And on every later client.
  FakeConsole other;
  ASSERT_EQ(connect("127.0.0.1", other.port()), ConnectOutcome{false});
  ASSERT_TRUE(other.waitForConnections(1));
  other.write(0, slipFrame(osc::OSCMessage("/tempik/tap")));
  EXPECT_EQ(received->pop(), (Received{"/tempik/tap", {}}));
  EXPECT_EQ(received->size(), 0u);
}

TEST_F(EosOscTransportTest, ReusesOrReplacesTheConnection) {
  FakeConsole console, other;
  ASSERT_EQ(connect("127.0.0.1", console.port()), ConnectOutcome{false});
  EXPECT_EQ(connect("127.0.0.1", console.port()), ConnectOutcome{true});
  EXPECT_EQ(transport->connectAttempt(), 1);
  // Another port replaces the client and closes the old one.
  EXPECT_EQ(connect("127.0.0.1", other.port()), ConnectOutcome{false});
  EXPECT_TRUE(console.waitForClose(0));
  EXPECT_EQ(transport->connectAttempt(), 2);
  EXPECT_EQ(console.connectionCount(), 1u);
  // Invalid settings make no attempt and drop the working connection.
  for (const auto& [host, port] : std::vector<std::pair<std::string, std::int64_t>>{
           {"", other.port()}, {"127.0.0.1", 0}, {"127.0.0.1", 65536}}) {
    EXPECT_EQ(connect(host, port), std::nullopt) << "'" << host << "' " << port;
  }
  EXPECT_TRUE(other.waitForClose(0));
  EXPECT_EQ(transport->connectAttempt(), 2);
  EXPECT_EQ(send("/a", {}).value_or(SendError{}).kind, SendError::Kind::notConnected);
  // The edge ports are valid and attempted (nothing listens there).
  connect("127.0.0.1", 1);
  connect("127.0.0.1", 65535);
  EXPECT_EQ(transport->connectAttempt(), 4);
}

TEST_F(EosOscTransportTest, OnlyTheLatestOfOverlappingAttemptsCounts) {
  // Both attempts wait in a full listener queue until the console starts accepting, so the
  // second starts before the first ends; then both sockets connect.
  FakeConsole console(/*accepting=*/false, /*listenBacklog=*/0);
  console.fillBacklog();
  auto outcomes = std::make_shared<Inbox<std::pair<int, ConnectOutcome>>>();
  for (int call = 1; call <= 2; ++call) {
    transport->connect("127.0.0.1", console.port(), [outcomes, call](ConnectOutcome outcome) {
      outcomes->push({call, outcome});
    });
  }
  ASSERT_EQ(transport->connectAttempt(), 2);
  console.startAccepting();
  std::map<int, ConnectOutcome> results;
  for (int i = 0; i < 2; ++i) {
    const auto result = outcomes->pop();
    ASSERT_TRUE(result.has_value());
    results[result->first] = result->second;
  }
  EXPECT_EQ(results[1], std::nullopt);
  EXPECT_EQ(results[2], ConnectOutcome{false});
  // The older socket connected too (the filler is the third), and is closed; the newer one is
  // current.
  ASSERT_TRUE(console.waitForConnections(3));
  EXPECT_EQ(console.waitForClosedCount(1).size(), 2u);
  EXPECT_EQ(send("/still/here", {}), std::nullopt);
}

TEST_F(EosOscTransportTest, FailedAttemptsReturnNothing) {
  const auto refusedStart = std::chrono::steady_clock::now();
  EXPECT_EQ(connect("127.0.0.1", closedPort()), std::nullopt);
  EXPECT_LT(std::chrono::steady_clock::now() - refusedStart, std::chrono::seconds(4));

  // A listener whose queue is full never answers: the attempt ends after about 5 s.
  FakeConsole silent(/*accepting=*/false, /*listenBacklog=*/0);
  silent.fillBacklog();
  const auto silentStart = std::chrono::steady_clock::now();
  EXPECT_EQ(connect("127.0.0.1", silent.port()), std::nullopt);
  EXPECT_GE(std::chrono::steady_clock::now() - silentStart, std::chrono::milliseconds(4900));
}

TEST_F(EosOscTransportTest, PeerDropMakesSendFailAndConnectTryAgain) {
  FakeConsole console;
  ASSERT_EQ(connect("127.0.0.1", console.port()), ConnectOutcome{false});
  ASSERT_TRUE(console.waitForConnections(1));
  console.drop(0);
  EXPECT_TRUE(waitUntilSendFails());
  EXPECT_EQ(connect("127.0.0.1", console.port()), ConnectOutcome{false});
  EXPECT_EQ(transport->connectAttempt(), 2);
}

}  // namespace
}  // namespace tempik::link
