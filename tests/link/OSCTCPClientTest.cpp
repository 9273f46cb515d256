#include "link/OSCTCPClient.h"

#include <gtest/gtest.h>

#include <thread>

#include "LinkTestSupport.h"
#include "osc/OSCBundle.h"
#include "osc/OSCPacket.h"
#include "support/LoopbackPeer.h"

namespace tempik::link {
namespace {

using fakes::LoopbackListener;
using testing::concat;
using testing::Inbox;
using testing::kPatience;
using testing::slipFrame;
using Notification = OSCTCPClient::Notification;

// A client connected to a console on loopback, collecting what it delivers and reports.
struct ConnectedClient {
  explicit ConnectedClient(OSCTCPFramingMode framing = OSCTCPFramingMode::osc1_1,
                           OSCTimeTagMode timeTags = OSCTimeTagMode::ignore)
      : client(
            OSCTCPClient::create("127.0.0.1", listener.port(), std::nullopt, timeTags, framing)) {
    client->setReceiveHandler([inbox = messages](const osc::OSCMessage& message,
                                                 const osc::OSCTimeTag&, const std::string&,
                                                 std::uint16_t) { inbox->push(message); });
    client->setNotificationHandler(
        [inbox = notifications](const Notification& notification) { inbox->push(notification); });
    client->queue()->sync([] {});
    EXPECT_FALSE(client->connect(5).has_value());
    EXPECT_EQ(notifications->pop(), Notification::connected());
    console = listener.accept(kPatience);
    EXPECT_TRUE(console.valid());
  }

  LoopbackListener listener;  // first: the client is made with its port
  fakes::LoopbackPeer console;
  std::shared_ptr<Inbox<osc::OSCMessage>> messages = std::make_shared<Inbox<osc::OSCMessage>>();
  std::shared_ptr<Inbox<Notification>> notifications = std::make_shared<Inbox<Notification>>();
  std::shared_ptr<OSCTCPClient> client;
};

TEST(OSCTCPClient, SendsFramedPacketsByMode) {
  const osc::OSCMessage message("/eos/user/20/newcmd", {"Effect 1 BPM 120#"});
  for (const auto mode : {OSCTCPFramingMode::osc1_1, OSCTCPFramingMode::osc1_0}) {
    ConnectedClient connected(mode);
    connected.client->send(message);
    const Bytes expected = frame(mode, message.rawData());
    EXPECT_EQ(connected.console.read(expected.size(), kPatience), expected);
  }
}

TEST(OSCTCPClient, SurvivesBadInputAndDeliversEveryGoodMessageInOrder) {
  ConnectedClient connected;
  const auto& console = connected.console;
  const osc::OSCMessage first("/first", {1}), second("/second", {"x"}), third("/third");
  const Bytes garbage{'n', 'o', 'i', 's', 'e'};
  const Bytes badEscape{0xC0, '/', 0xDB, 0x05, 0xC0};
  const Bytes undecodable = slipEncode(Bytes{'/', 'x', 0, 0, ',', 'i', 0, 0});  // no int follows
  const Bytes noEnd(10 * 1024 * 1024, 'A');                                     // 10 MiB
  console.write(concat({slipFrame(first), garbage, badEscape, undecodable, slipFrame(second)}));
  console.write(noEnd);
  console.write(concat({Bytes{0xC0}, slipFrame(third)}));
  EXPECT_EQ(connected.messages->pop(), first);
  EXPECT_EQ(connected.messages->pop(), second);
  EXPECT_EQ(connected.messages->pop(), third);
  // A flood of small messages, in order and complete.
  constexpr int kFlood = 100'000;
  Bytes floodBytes;
  for (int i = 0; i < kFlood; ++i) {
    const Bytes one = slipFrame(osc::OSCMessage("/flood", {i}));
    floodBytes.insert(floodBytes.end(), one.begin(), one.end());
  }
  console.write(floodBytes);
  for (int i = 0; i < kFlood; ++i) {
    const auto message = connected.messages->pop();
    ASSERT_TRUE(message.has_value()) << i;
    ASSERT_EQ(*message, osc::OSCMessage("/flood", {i}));
  }
}

TEST(OSCTCPClient, DeliversFramesSplitAcrossReads) {
  ConnectedClient connected;
  const auto& console = connected.console;
  const osc::OSCMessage message("/eos/out/user/20/cmd", {"LIVE: Effect Not Running"});
  const Bytes bytes = slipFrame(message);
  const std::size_t half = bytes.size() / 2;
  console.write(Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(half)));
  // A deliberate gap, so the two halves arrive in two reads.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  console.write(Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(half), bytes.end()));
  EXPECT_EQ(connected.messages->pop(), message);
  // A peer that leaves out the closing END is not stalled.
  console.write(Bytes(bytes.begin(), bytes.end() - 1));
  EXPECT_EQ(connected.messages->pop(), message);
  EXPECT_EQ(connected.messages->size(), 0u);
}

TEST(OSCTCPClient, BundlesAreUnpackedAndFutureTagsWaitInOsc10Mode) {
  ConnectedClient connected(OSCTCPFramingMode::osc1_1, OSCTimeTagMode::osc1_0);
  const auto& console = connected.console;
  const osc::OSCMessage now("/now"), later("/later"), nested("/nested");
  const auto due = std::chrono::system_clock::now() + std::chrono::milliseconds(300);
  const osc::OSCTimeTag dueTag = osc::OSCTimeTag::fromDate(osc::OSCDate(due));
  const osc::OSCBundle inner({osc::OSCPacket(nested)});
  const osc::OSCBundle immediate({osc::OSCPacket(now), osc::OSCPacket(inner)});
  console.write(
      concat({slipFrame(osc::OSCBundle({osc::OSCPacket(later)}, dueTag)), slipFrame(immediate)}));
  EXPECT_EQ(connected.messages->pop(), now);
  EXPECT_EQ(connected.messages->pop(), nested);
  EXPECT_EQ(connected.messages->pop(), later);
  EXPECT_GE(std::chrono::system_clock::now(), due);
}

TEST(OSCTCPClient, ReportsHowConnectionsEnd) {
  {  // the peer closes: no error
    ConnectedClient connected;
    connected.console.close();
    EXPECT_EQ(connected.notifications->pop(), Notification::disconnected(std::nullopt));
  }
  {  // the peer resets in the middle of a frame: no error of the socket's own domain
    ConnectedClient connected;
    connected.console.write(Bytes{0xC0, '/', 'a'});
    connected.console.reset();
    EXPECT_EQ(connected.notifications->pop(), Notification::disconnected(std::nullopt));
  }
  {  // a length-framed stream that announces an oversized packet is closed
    ConnectedClient connected(OSCTCPFramingMode::osc1_0);
    connected.console.write(Bytes{0x7F, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(connected.notifications->pop(), Notification::disconnected(std::nullopt));
    EXPECT_TRUE(connected.console.waitForEndOfStream(kPatience));
  }
}

TEST(OSCTCPClient, ConnectTimeoutIsAtLeastOneSecond) {
  const fakes::FullBacklogListener console;  // connects are never answered
  auto client = OSCTCPClient::create("127.0.0.1", console.port(), std::nullopt,
                                     OSCTimeTagMode::ignore, OSCTCPFramingMode::osc1_1);
  auto notifications = std::make_shared<Inbox<Notification>>();
  client->setNotificationHandler(
      [notifications](const Notification& n) { notifications->push(n); });
  client->queue()->sync([] {});
  const auto started = std::chrono::steady_clock::now();
  ASSERT_FALSE(client->connect(0.2).has_value());
  const auto notification = notifications->pop();
  ASSERT_TRUE(notification.has_value());
  EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(950));
  ASSERT_TRUE(notification->error.has_value());
  EXPECT_EQ(notification->error->code(), net::AsyncSocketErrorCode::connectTimeout);
}

}  // namespace
}  // namespace tempik::link
