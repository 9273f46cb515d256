// The real controller and transport against a console on loopback that behaves, then drops
// the connection again and again.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ControllerUnderTest.h"
#include "link/OSCTCPFraming.h"
#include "support/ProcessResources.h"

namespace tempik::faults {
namespace {

using Close = fakes::LoopbackConsole::Close;
using fakes::ProcessResources;
using Log = fakes::LoopbackConsole::Log;

// What one client received, pings left out, each as its address and first argument.
std::vector<std::string> receivedBy(const fakes::LoopbackConsole& console, int client) {
  std::vector<std::string> received;
  for (const auto& message : console.log().received) {
    if (message.client != client || message.address == ping) continue;
    received.push_back(message.address);
    if (!message.arguments.empty()) received.back() += " " + message.arguments[0];
  }
  return received;
}

void tapOn(ControllerUnderTest& tempik, std::chrono::milliseconds interval) {
  tempik.onUiThread([&](core::TempoController& controller) {
    auto at = std::chrono::system_clock::now();
    for (int i = 0; i < 3; ++i) controller.tap(at += interval);
    return 0;
  });
}

// The console goes away or stops reading: the flag follows at once or after the ping wait, a
// stalled link is reset so that no stale command reaches the console, and the tempo the
// console missed goes out exactly once, after the next connection's key presses.
TEST(ControllerOnLoopback, SeesDropsAndStallsAndSendsTheMissedTempoOnceOnReturn) {
  const auto console = consoleOnItsPort();
  ControllerUnderTest tempik({{"eosIP", console->host()}, {"bpmFX", "1"}});
  ASSERT_TRUE(console->waitFor(effectKey, 2));
  ASSERT_TRUE(console->waitFor(ping));  // and answered: from now on judged by its pings
  for (const auto& [how, client] : {std::pair{Close::orderly, 1}, std::pair{Close::reset, 2}}) {
    console->drop(how);
    const auto down = tempik.whenConnectedTurned(false);
    ASSERT_TRUE(down && console->waitUntil([&](const Log& log) {
      return log.connections[client - 1].droppedAt.has_value();
    }));
    EXPECT_LT(*down - *console->log().connections[client - 1].droppedAt, 100ms) << client;
    tapOn(tempik, client == 1 ? 500ms : 400ms);  // while down, or soon after: 120, then 150
    ASSERT_TRUE(console->waitFor(tempoCommand, 1, client + 1));
  }
  tempik.settle();
  ASSERT_TRUE(console->waitFor("/test/marker"));
  EXPECT_THAT(receivedBy(*console, 3),
              ::testing::ElementsAre(effectKey, effectKey, tempoCommand + " Effect 1 BPM 150#",
                                     "/test/marker"));

  console->setReading(false);
  const auto stopped = std::chrono::steady_clock::now();
  ASSERT_TRUE(tempik.recorder->waitForSends(ping, 1, stopped, patience));
  tapOn(tempik, 600ms);  // 100 BPM, held: the console has not answered since it stopped
  const auto down = tempik.whenConnectedTurned(false);
  ASSERT_TRUE(down);
  EXPECT_LE(*down - stopped, quick.connectionCheckPause + quick.pingWait + 500ms);
  console->setReading(true);
  ASSERT_TRUE(console->waitFor(tempoCommand, 1, 4));
  tempik.settle();
  ASSERT_TRUE(console->waitFor("/test/marker", 1, 4));
  EXPECT_THAT(receivedBy(*console, 3), ::testing::Contains(::testing::HasSubstr("150")));
  EXPECT_THAT(receivedBy(*console, 3),
              ::testing::Not(::testing::Contains(::testing::HasSubstr("BPM 100#"))));
  EXPECT_THAT(receivedBy(*console, 4),
              ::testing::ElementsAre(effectKey, effectKey, tempoCommand + " Effect 1 BPM 100#",
                                     "/test/marker"));
}

enum class DropMoment { afterPresses, betweenPresses, midFrameToTempik };

// The console goes away fifty times at random moments: tempik comes back each time, presses
// the Effect key twice on every new connection, and holds no more than it did at first.
TEST(ConsoleDrops, FiftyTimesAtRandomMomentsTempikReconnectsEveryTimeWithoutLeaking) {
  constexpr int drops = 50;
  const auto console = consoleOnItsPort();
  ControllerUnderTest tempik({{"eosIP", console->host()}, {"bpmFX", "1"}});
  ASSERT_TRUE(console->waitFor(effectKey, 2));
  tempik.settle();
  const auto first = ProcessResources::now();
  const auto seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  std::vector<DropMoment> moments;
  const auto frame = link::slipEncode(
      osc::OSCMessage("/eos/out/user/20/cmd", {"LIVE: Effect 1 BPM 120#"}).rawData());
  for (int client = 1; client <= drops; ++client) {
    const auto moment = static_cast<DropMoment>(random() % 3);
    moments.push_back(moment);
    ASSERT_TRUE(console->waitFor(effectKey, moment == DropMoment::betweenPresses ? 1 : 2, client));
    link::Bytes halfFrame;
    if (moment == DropMoment::midFrameToTempik) {
      halfFrame.assign(frame.begin(), frame.begin() + 1 + random() % (frame.size() - 1));
    }
    const auto delay = moment == DropMoment::betweenPresses ? 0 : random() % 100;
    console->drop(random() % 3 ? Close::orderly : Close::reset, halfFrame, delay * 1ms);
    ASSERT_TRUE(console->waitUntil([&](const Log& log) {
      return int(log.connections.size()) > client;
    })) << "no reconnection after drop "
        << client;
  }
  ASSERT_TRUE(console->waitFor(effectKey, 2, drops + 1))
      << console->log().connections.size() << " connections, "
      << console->log().to(effectKey, drops + 1).size() << " presses on the last";
  tempik.settle();
  const auto last = ProcessResources::now();
  const auto log = console->log();
  EXPECT_EQ(log.connections.size(), std::size_t{drops + 1});
  for (int client = 1; client <= drops; ++client) {
    const auto pressed = log.to(effectKey, client).size();
    EXPECT_EQ(pressed, moments[client - 1] == DropMoment::betweenPresses ? pressed : 2u) << client;
    EXPECT_THAT(pressed, ::testing::AllOf(::testing::Ge(1u), ::testing::Le(2u))) << client;
    EXPECT_LE(log.connections[client].acceptedAt - *log.connections[client - 1].droppedAt,
              reconnectBound)
        << "drop " << client;
  }
  EXPECT_EQ(log.to(effectKey, drops + 1).size(), 2u);
  EXPECT_EQ(last.descriptors, first.descriptors);
  EXPECT_EQ(last.threads, first.threads);
  // Half a frame left behind by a dropped connection must not spoil the new one.
  for (int i = 0; i < 3; ++i) console->send(tap);
  ASSERT_TRUE(console->waitFor(tempoCommand, 1, drops + 1));
  EXPECT_THAT(console->log().to(tempoCommand)[0].arguments,
              ::testing::ElementsAre("Effect 1 BPM 120#"));
}

}  // namespace
}  // namespace tempik::faults
