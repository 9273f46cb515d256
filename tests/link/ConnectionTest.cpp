// The OSC TCP client and the console transport on loopback, against eos-sim's console and,
// where the listener itself must misbehave, plain sockets.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <future>

#ifdef __linux__
#include <arpa/inet.h>
#include <netinet/in.h>
#endif

#include "link/EosOscTransport.h"
#include "link/LinkProblems.h"
#include "link/OSCTCPClient.h"
#include "net/SystemSockets.h"  // addresses, the resolver's EAI_ codes
#include "osc/OSCBundle.h"
#include "support/LoopbackConsole.h"
#include "support/LoopbackPeer.h"

namespace tempik::link {
namespace {

using namespace std::chrono_literals;
using fakes::LoopbackConsole;

/// Callbacks push from any thread; the test pops, waiting up to 30 s.
template <class T>
class Inbox {
 public:
  void push(T value) {
    const std::lock_guard lock(mutex_);
    items_.push_back(std::move(value));
    ready_.notify_all();
  }
  std::optional<T> pop() {
    std::unique_lock lock(mutex_);
    if (!ready_.wait_for(lock, 30s, [this] { return !items_.empty(); })) return std::nullopt;
    T value = std::move(items_.front());
    items_.pop_front();
    return value;
  }

 private:
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<T> items_;
};

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
Bytes framed(const osc::OSCPacket& packet) {
  return slipEncode(packet.rawData());
}

TEST(OSCTCPClient, DeliversEveryGoodMessageInOrderWhateverComesAroundIt) {
  LoopbackConsole console;
  Inbox<osc::OSCMessage> messages;
  const auto client = OSCTCPClient::create("127.0.0.1", console.port(), std::nullopt,
                                           OSCTimeTagMode::ignore, OSCTCPFramingMode::osc1_1);
  client->setReceiveHandler([&](const osc::OSCMessage& m, auto&&...) { messages.push(m); });
  client->queue()->sync([] {});
  EXPECT_FALSE(client->connect(5).has_value());
  ASSERT_TRUE(console.waitUntil([](auto& log) { return log.connections.size() == 1; }));
  const osc::OSCMessage first("/first", {1}), second("/second", {"x"}), third("/third");
  console.sendBytes(framed(first) + Bytes{'n', 'o', 'i', 's', 'e'} +
                    Bytes{0xC0, '/', 0xDB, 0x05, 0xC0} +                 // a bad escape
                    slipEncode(Bytes{'/', 'x', 0, 0, ',', 'i', 0, 0}) +  // no int
                    framed(second) + Bytes(10 << 20, 'A') +              // 10 MiB without END
                    Bytes{0xC0} + framed(third));
  EXPECT_EQ(messages.pop(), first);
  EXPECT_EQ(messages.pop(), second);
  EXPECT_EQ(messages.pop(), third);
  // A flood of small messages comes in many reads that cut frames anywhere.
  constexpr int flood = 100'000;
  Bytes floodBytes;
  for (int i = 0; i < flood; ++i)
    floodBytes = std::move(floodBytes) + framed(osc::OSCMessage("/flood", {i}));
  console.sendBytes(std::move(floodBytes));
  for (int i = 0; i < flood; ++i) ASSERT_EQ(messages.pop(), osc::OSCMessage("/flood", {i}));
  // A console that leaves out the closing END does not stall it.
  const Bytes unclosed =
      framed(osc::OSCMessage("/eos/out/user/20/cmd", {"LIVE: Effect Not Running"}));
  console.sendBytes(Bytes(unclosed.begin(), unclosed.end() - 1));
  EXPECT_EQ(messages.pop(), osc::OSCMessage("/eos/out/user/20/cmd", {"LIVE: Effect Not Running"}));
  client->setReceiveHandler(nullptr);  // it must not outlive the inbox
  client->queue()->sync([] {});
}

std::optional<LinkProblem> problem(const ConnectOutcome& outcome) {
  const auto* down = std::get_if<LinkDown>(&outcome);
  return down ? std::optional(down->problem) : std::nullopt;
}

#ifdef __linux__
// SO_KEEPALIVE of this process's socket connected to the port, read through Linux's descriptor
// numbers (-1 when there is none).
std::optional<int> keepAliveTowards(std::uint16_t port) {
  for (int fd = 0; fd < 1024; ++fd) {
    sockaddr_in peer{};
    socklen_t length = sizeof peer;
    int value = -1;
    if (::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length) == 0 &&
        peer.sin_family == AF_INET && ntohs(peer.sin_port) == port) {
      length = sizeof value;
      ::getsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &value, &length);
      return value;
    }
  }
  return -1;
}
#else
std::optional<int> keepAliveTowards(std::uint16_t) {
  return std::nullopt;
}
#endif

class Transport : public ::testing::Test {
 protected:
  ConnectOutcome connect(const std::string& host, std::int64_t port) {
    auto outcome = std::make_shared<std::promise<ConnectOutcome>>();
    transport->connect(host, port, [outcome](ConnectOutcome o) { outcome->set_value(o); });
    return outcome->get_future().get();
  }
  std::optional<SendError> send(const std::string& address, std::vector<std::string> arguments) {
    auto error = std::make_shared<std::promise<std::optional<SendError>>>();
    transport->send(address, std::move(arguments), [error](auto e) { error->set_value(e); });
    return error->get_future().get();
  }
  void receiveInto(Inbox<std::string>& inbox) {
    std::promise<void> done;
    transport->setReceiveHandler(
        [&inbox](const std::string& address, const std::vector<std::string>& arguments) {
          inbox.push(address + "|" + ::testing::PrintToString(arguments));
        },
        [&done] { done.set_value(); });
    done.get_future().wait();
  }

  std::shared_ptr<net::SerialQueue> completions = net::SerialQueue::create("test.completions");
  std::shared_ptr<EosOscTransport> transport = EosOscTransport::create(
      [queue = completions](std::function<void()> job) { queue->async(std::move(job)); });
};

TEST_F(Transport, SendsStringMessagesAndHandsOverTheStringsOfEveryMessageReceived) {
  Inbox<std::string> received;
  LoopbackConsole console, other;
  ASSERT_EQ(connect("localhost", console.port()), ConnectOutcome{NewConnection{}});
  EXPECT_EQ(send("/eos/user/20/newcmd", {"Effect 1 BPM 120#", "x"}), std::nullopt);
  ASSERT_TRUE(console.waitFor("/eos/user/20/newcmd"));
  EXPECT_THAT(console.log().received[0].arguments,
              ::testing::ElementsAre("Effect 1 BPM 120#", "x"));
  // Dropped before any handler exists: what came before the drop is lost with it.
  console.send(osc::OSCMessage("/before/handler"));
  console.drop(LoopbackConsole::Close::orderly);
  const auto deadline = std::chrono::steady_clock::now() + 30s;  // the drop comes later
  while (send("/probe", {}) == std::nullopt && std::chrono::steady_clock::now() < deadline) {
  }
  EXPECT_EQ(send("/probe", {})->kind, SendError::Kind::notConnected);
  ASSERT_EQ(connect("localhost", console.port()), ConnectOutcome{NewConnection{}});
  ASSERT_TRUE(console.waitUntil([](auto& log) { return log.connections.size() == 2; }));
  receiveInto(received);  // on the current client at once
  console.send(osc::OSCMessage("/one", {"", 2, "x"}));
  console.sendBytes(
      framed(osc::OSCBundle({osc::OSCMessage("/two"), osc::OSCMessage("/three", {"y"})})));
  EXPECT_EQ(received.pop(), "/one|{ \"\", \"x\" }");
  EXPECT_EQ(received.pop(), "/two|{}");
  EXPECT_EQ(received.pop(), "/three|{ \"y\" }");
  ASSERT_EQ(connect("127.0.0.1", other.port()),
            ConnectOutcome{NewConnection{}});  // and on later ones
  ASSERT_TRUE(other.waitUntil([](auto& log) { return log.connections.size() == 1; }));
  other.send(osc::OSCMessage("/tempik/tap"));
  EXPECT_EQ(received.pop(), "/tempik/tap|{}");
}

// The reason an operator reads comes from the socket's error, whether the link was being
// made or was up.
TEST(LinkProblems, EachSocketErrorGivesItsReason) {
  using P = LinkProblem;
  const struct {
    net::SocketError error;
    P connecting, connected;
  } rows[] = {
      {net::errors::posix(ECONNREFUSED, "connect"), P::refused, P::failed},
      {net::errors::posix(ETIMEDOUT, "connect"), P::noAnswer, P::stalled},
      {net::errors::connectTimeout(), P::noAnswer, P::failed},
      {net::errors::posix(ENETUNREACH, "connect"), P::networkUnreachable, P::networkUnreachable},
      {net::errors::posix(EHOSTUNREACH, "connect"), P::networkUnreachable, P::networkUnreachable},
      {net::errors::posix(ECONNRESET, "read"), P::resetByConsole, P::resetByConsole},
      {net::errors::posix(EPIPE, "write"), P::resetByConsole, P::resetByConsole},
      {net::errors::connectionClosed(), P::closedByConsole, P::closedByConsole},
      {net::errors::netdb(EAI_NONAME), P::hostNotFound, P::failed},
      {net::errors::netdb(EAI_AGAIN), P::hostNotFound, P::failed},
      {net::errors::netdb(EAI_MEMORY), P::failed, P::failed},
      {net::errors::badParam("Invalid host parameter"), P::badAddress, P::failed},
      {net::errors::posix(EACCES, "connect"), P::failed, P::failed},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(connectFailure(row.error).problem, row.connecting) << row.error.description;
    EXPECT_EQ(connectionLoss(row.error).problem, row.connected) << row.error.description;
    EXPECT_THAT(connectFailure(row.error).detail, ::testing::HasSubstr(row.error.description));
  }
  EXPECT_EQ(connectionLoss(std::nullopt).problem, P::closedByConsole);
}

// A close or a reset by the console is news at once, with why; the transport then connects
// anew.
TEST_F(Transport, TellsAtOnceWhyTheConsoleWentAway) {
  Inbox<std::pair<LinkProblem, LoopbackConsole::Clock::time_point>> down;
  std::promise<void> installed;
  transport->setLinkDownHandler(
      [&](const LinkDown& why) {
        down.push({why.problem, LoopbackConsole::Clock::now()});
      },
      [&] { installed.set_value(); });
  installed.get_future().wait();
  LoopbackConsole console;
  for (const auto& [how, problem] :
       {std::pair{LoopbackConsole::Close::orderly, LinkProblem::closedByConsole},
        std::pair{LoopbackConsole::Close::reset, LinkProblem::resetByConsole}}) {
    ASSERT_EQ(connect("127.0.0.1", console.port()), ConnectOutcome{NewConnection{}});
    EXPECT_NE(keepAliveTowards(console.port()), 0) << "a silent console would go unnoticed";
    EXPECT_NE(keepAliveTowards(console.port()), -1);
    console.drop(how);
    const auto heard = down.pop();
    ASSERT_TRUE(heard);
    EXPECT_EQ(heard->first, problem);
    ASSERT_TRUE(
        console.waitUntil([](auto& log) { return log.connections.back().droppedAt.has_value(); }));
    const auto droppedAt = *console.log().connections.back().droppedAt;
    EXPECT_LT(heard->second - droppedAt, 100ms);
    EXPECT_EQ(send("/probe", {})->kind, SendError::Kind::notConnected);
  }
}

TEST_F(Transport, ReusesOrReplacesTheConnection) {
  LoopbackConsole console, other;
  ASSERT_EQ(connect("127.0.0.1", console.port()), ConnectOutcome{NewConnection{}});
  EXPECT_EQ(connect("127.0.0.1", console.port()), ConnectOutcome{SameConnection{}});
  EXPECT_EQ(connect("127.0.0.1", other.port()), ConnectOutcome{NewConnection{}});
  EXPECT_TRUE(console.waitUntil([](auto& log) { return log.closedByClient(1); }));
  EXPECT_EQ(console.log().connections.size(), 1u) << "reuse connected again";
  EXPECT_EQ(transport->connectAttempt(), 2);
  EXPECT_EQ(send("/still", {}), std::nullopt) << "the old connection's end ended the new one";
  // Overtaken while it was being made: its connection is closed, even though it was made.
  auto overtaken = std::make_shared<std::promise<ConnectOutcome>>();
  transport->connect("127.0.0.1", console.port(), [overtaken](auto o) { overtaken->set_value(o); });
  EXPECT_EQ(connect("127.0.0.1", other.port()), ConnectOutcome{NewConnection{}});
  EXPECT_EQ(problem(overtaken->get_future().get()), LinkProblem::superseded);
  EXPECT_TRUE(console.waitUntil([](auto& log) { return log.closedByClient(2); }));
  // Invalid settings make no attempt and drop the working connection.
  for (const auto& [host, port] : std::vector<std::pair<std::string, std::int64_t>>{
           {"", other.port()}, {"127.0.0.1", 0}, {"127.0.0.1", 65536}}) {
    EXPECT_EQ(problem(connect(host, port)), LinkProblem::badAddress) << "'" << host << "' " << port;
  }
  EXPECT_TRUE(other.waitUntil([](auto& log) { return log.closedByClient(1); }));
  EXPECT_EQ(send("/a", {}).value_or(SendError{}).kind, SendError::Kind::notConnected);
  connect("127.0.0.1", 1);  // the edge ports are valid and attempted (nothing listens there)
  connect("127.0.0.1", 65535);
  EXPECT_EQ(transport->connectAttempt(), 6);
}

TEST_F(Transport, FailedAttemptsReturnNothingWithinTheConnectTimeout) {
  const fakes::LoopbackListener refusing(AF_INET, -1);
  const auto refusedStart = std::chrono::steady_clock::now();
  EXPECT_EQ(problem(connect("127.0.0.1", refusing.port())), LinkProblem::refused);
  EXPECT_LT(std::chrono::steady_clock::now() - refusedStart, 4s);
  // A listener whose queue is full never answers: the attempt ends after the real 5 s.
  const fakes::FullBacklogListener silent;
  const auto silentStart = std::chrono::steady_clock::now();
  EXPECT_EQ(problem(connect("127.0.0.1", silent.port())), LinkProblem::noAnswer);
  EXPECT_GE(std::chrono::steady_clock::now() - silentStart, 4900ms);
  EXPECT_LE(std::chrono::steady_clock::now() - silentStart, 7s);
}

}  // namespace
}  // namespace tempik::link
