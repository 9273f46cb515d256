// The console accepts the connection but never reads: tempik's writes back up behind it.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ControllerUnderTest.h"
#include "FaultyConsole.h"
#include "ProcessResources.h"

namespace tempik::faults {
namespace {

using Log = FaultyConsole::Log;

const std::string macroLabel = "/eos/set/macro/7/label";

TEST(ConsoleStalls, TapsKeepWorkingMemoryStaysBoundedAndADropBringsAReconnection) {
  FaultyConsole console("127.0.0.24", FaultyConsole::Reading::never);
  ControllerUnderTest tempik({{"eosIP", console.host()}, {"bpmFX", "1"}, {"bpmMacro", "7"}});
  ASSERT_TRUE(tempik.recorder->waitUntil(
      [](const auto& log) { return sendsCompleted(log, effectKey, 2); }, patience));
  ASSERT_TRUE(tempik.isConnected());
  const auto before = ProcessResources::now();

  // Rounds of three taps, each round a new sequence at a new tempo: every round sends the
  // tempo command and the macro label, into a connection that never drains.
  constexpr int rounds = 40'000;
  constexpr int roundsPerBatch = 500;
  auto at = std::chrono::system_clock::time_point{} + std::chrono::hours(1000);
  for (int round = 0; round < rounds; round += roundsPerBatch) {
    const auto bpms = tempik.onUiThread([&](core::TempoController& controller) {
      std::vector<std::int64_t> shown;
      for (int i = round; i < round + roundsPerBatch; ++i) {
        const auto gap = i % 2 == 0 ? 500ms : 600ms;  // 120 and 100 BPM in turn
        at += 10s;                                    // a pause starts a new sequence
        for (int tap = 0; tap < 3; ++tap) controller.tap(at += gap);
        shown.push_back(controller.tempo().bpm().value_or(0));
      }
      return shown;
    });
    for (int i = 0; i < roundsPerBatch; ++i) {
      ASSERT_EQ(bpms[static_cast<std::size_t>(i)], (round + i) % 2 == 0 ? 120 : 100)
          << "round " << round + i;
    }
  }
  ASSERT_TRUE(tempik.recorder->waitUntil(
      [](const auto& log) {
        return sendsCompleted(log, tempoCommand, rounds) && sendsCompleted(log, macroLabel, rounds);
      },
      patience));
  const auto stalled = ProcessResources::now();
  auto sends = tempik.recorder->log().sends;
  const std::size_t sentBytes =
      sends[tempoCommand].succeededBytes + sends[macroLabel].succeededBytes;
  // Every tempo change was handed to the connection, none refused.
  EXPECT_EQ(sends[tempoCommand].succeeded, std::size_t{rounds});
  EXPECT_EQ(sends[macroLabel].succeeded, std::size_t{rounds});
  EXPECT_TRUE(tempik.isConnected());

  console.drop(FaultyConsole::Close::reset);
  console.startReading();
  ASSERT_TRUE(console.waitUntil([](const Log& log) { return log.on(1, effectKey).size() >= 2; },
                                reconnectBound + patience));
  ASSERT_TRUE(tempik.recorder->waitUntil(
      [](const auto& log) { return sendsCompleted(log, effectKey, 4); }, patience));
  EXPECT_TRUE(tempik.isConnected());
  const auto log = console.log();
  EXPECT_LE(log.connections[1].acceptedAt - *log.connections[0].droppedAt, reconnectBound);
  const auto after = ProcessResources::now();

  std::printf(
      "sent %.1f MiB into a stalled connection; heap in use %.1f -> %.1f -> %.1f MiB; "
      "resident %.1f -> %.1f (stalled) -> %.1f MiB after the reconnection; descriptors "
      "%zu -> %zu, threads %zu -> %zu\n",
      static_cast<double>(sentBytes) / MiB, static_cast<double>(before.heapInUseBytes) / MiB,
      static_cast<double>(stalled.heapInUseBytes) / MiB,
      static_cast<double>(after.heapInUseBytes) / MiB,
      static_cast<double>(before.residentBytes) / MiB,
      static_cast<double>(stalled.residentBytes) / MiB,
      static_cast<double>(after.residentBytes) / MiB, before.descriptors, after.descriptors,
      before.threads, after.threads);
  EXPECT_EQ(after.descriptors, before.descriptors);
  EXPECT_EQ(after.threads, before.threads);
  if (residentMemoryIsMeaningful) {
    // Queued writes cost their bytes plus bookkeeping per write: allow four times the bytes.
    EXPECT_LE(stalled.heapInUseBytes, before.heapInUseBytes + 4 * sentBytes + MiB);
    EXPECT_LE(stalled.residentBytes, before.residentBytes + 4 * sentBytes + 4 * MiB);
    // Dropping the stalled connection frees its queue.
    EXPECT_LE(after.heapInUseBytes, before.heapInUseBytes + MiB);
    EXPECT_LE(after.residentBytes, before.residentBytes + 4 * MiB);
  }
}

}  // namespace
}  // namespace tempik::faults
