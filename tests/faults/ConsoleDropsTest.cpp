// The console goes away again and again, at random moments: tempik must come back each time,
// press the Effect key twice on every new connection, and hold no more than it did at first.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "ControllerUnderTest.h"
#include "FaultyConsole.h"
#include "ProcessResources.h"

namespace tempik::faults {
namespace {

using Close = FaultyConsole::Close;
using Log = FaultyConsole::Log;

enum class DropMoment {
  afterPresses,      // the link looks idle
  betweenPresses,    // inside the 300 ms gap of the key press sequence
  midFrameToTempik,  // the console was half way through a message
};

struct Drop {
  DropMoment moment;
  Close how;
  std::vector<std::uint8_t> lastBytes;
  std::chrono::milliseconds delay;
};

Drop randomDrop(std::mt19937& random) {
  std::uniform_int_distribution<int> pick(0, 2);
  Drop drop{static_cast<DropMoment>(pick(random)),
            pick(random) == 0 ? Close::reset : Close::orderly,
            {},
            std::chrono::milliseconds(std::uniform_int_distribution<int>(0, 150)(random))};
  if (drop.moment == DropMoment::midFrameToTempik) {
    const auto frame = slipMessage("/eos/out/user/20/cmd", {"LIVE: Effect 1 BPM 120#"});
    const auto cut = std::uniform_int_distribution<std::size_t>(1, frame.size() - 1)(random);
    drop.lastBytes.assign(frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(cut));
  }
  if (drop.moment == DropMoment::betweenPresses) drop.delay = 0ms;
  return drop;
}

TEST(ConsoleDrops, FiftyTimesAtRandomMomentsTempikReconnectsEveryTimeWithoutLeaking) {
  constexpr std::size_t drops = 50;
  FaultyConsole console("127.0.0.23");
  ControllerUnderTest tempik({{"eosIP", console.host()}, {"bpmFX", "1"}});

  const auto presses = [&](std::size_t connection, std::size_t count) {
    return console.waitUntil(
        [&](const Log& log) { return log.on(connection, effectKey).size() >= count; }, patience);
  };
  ASSERT_TRUE(presses(0, 2));
  ASSERT_TRUE(tempik.recorder->waitUntil(
      [](const auto& log) { return sendsCompleted(log, effectKey, 2); }, patience));
  const auto first = ProcessResources::now();

  const auto seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  std::vector<DropMoment> moments;
  std::vector<std::chrono::duration<double>> reconnectTimes;
  for (std::size_t connection = 0; connection < drops; ++connection) {
    Drop drop = randomDrop(random);
    moments.push_back(drop.moment);
    ASSERT_TRUE(presses(connection, drop.moment == DropMoment::betweenPresses ? 1 : 2))
        << "connection " << connection;
    console.drop(drop.how, std::move(drop.lastBytes), drop.delay);
    ASSERT_TRUE(
        console.waitUntil([&](const Log& log) { return log.connections.size() > connection + 1; },
                          reconnectBound + patience))
        << "no reconnection after drop " << connection;
    const auto log = console.log();
    reconnectTimes.emplace_back(log.connections[connection + 1].acceptedAt -
                                *log.connections[connection].droppedAt);
  }
  ASSERT_TRUE(presses(drops, 2));
  ASSERT_TRUE(tempik.recorder->waitUntil(
      [](const auto& log) { return sendsCompleted(log, effectKey, 2 * (drops + 1)); }, patience));
  const auto last = ProcessResources::now();

  const auto log = console.log();
  EXPECT_EQ(log.connections.size(), drops + 1);
  for (std::size_t connection = 0; connection <= drops; ++connection) {
    const auto pressed = log.on(connection, effectKey).size();
    if (connection < drops && moments[connection] == DropMoment::betweenPresses) {
      EXPECT_THAT(pressed, ::testing::AllOf(::testing::Ge(1u), ::testing::Le(2u)));
    } else {
      EXPECT_EQ(pressed, 2u) << "connection " << connection;
    }
  }
  for (std::size_t i = 0; i < reconnectTimes.size(); ++i) {
    EXPECT_LE(reconnectTimes[i], reconnectBound) << "drop " << i;
  }
  EXPECT_TRUE(tempik.isConnected());
  EXPECT_EQ(last.descriptors, first.descriptors);
  EXPECT_EQ(last.threads, first.threads);

  // Half a frame left behind by a dropped connection must not spoil the new one.
  for (int tap = 0; tap < 3; ++tap) console.sendMessage("/tempik/tap");
  ASSERT_TRUE(console.waitUntil(
      [&](const Log& log) { return !log.on(drops, tempoCommand).empty(); }, patience));
  EXPECT_THAT(console.log().on(drops, tempoCommand)[0].arguments,
              ::testing::ElementsAre("Effect 1 BPM 120#"));

  std::sort(reconnectTimes.begin(), reconnectTimes.end());
  RecordProperty("reconnect_median_s", std::to_string(reconnectTimes[drops / 2].count()));
  RecordProperty("reconnect_max_s", std::to_string(reconnectTimes.back().count()));
  std::printf(
      "reconnect median %.3f s, max %.3f s; descriptors %zu -> %zu, threads %zu -> %zu, "
      "resident %.1f -> %.1f MiB\n",
      reconnectTimes[drops / 2].count(), reconnectTimes.back().count(), first.descriptors,
      last.descriptors, first.threads, last.threads, static_cast<double>(first.residentBytes) / MiB,
      static_cast<double>(last.residentBytes) / MiB);
}

}  // namespace
}  // namespace tempik::faults
