// For a minute the console cannot be reached: its name does not resolve, or nothing listens
// at its address. tempik must try once at a time, every 5 s, and hold no more as time passes.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ControllerUnderTest.h"
#include "ProcessResources.h"

namespace tempik::faults {
namespace {

using Attempt = RecordingTransport::Attempt;

constexpr std::size_t attemptsInAMinute = 13;  // at 0, 5, ... 60 s

bool finished(const RecordingTransport::Log& log, std::size_t count) {
  return log.attempts.size() >= count && log.attempts[count - 1].finished.has_value();
}

void expectOneAttemptEveryFiveSeconds(const std::vector<Attempt>& attempts) {
  ASSERT_GE(attempts.size(), attemptsInAMinute);
  for (std::size_t i = 0; i < attemptsInAMinute; ++i) {
    SCOPED_TRACE("attempt " + std::to_string(i));
    ASSERT_TRUE(attempts[i].finished.has_value());
    EXPECT_EQ(attempts[i].outcome, std::nullopt);
    if (i == 0) continue;
    // The previous attempt was over before this one began, and the pause between them
    // was the loop's 5 s.
    const auto pause = attempts[i].started - *attempts[i - 1].finished;
    EXPECT_GE(pause, 5s);
    EXPECT_LE(pause, 5s + 1500ms);
  }
}

TEST(UnreachableConsole, ForAMinuteOneAttemptAtATimeFiveSecondsApartWithoutGrowth) {
  // A host name with a space fails in the resolver itself, so no query leaves the machine.
  ControllerUnderTest unresolvable({{"eosIP", "eos console.invalid"}, {"bpmFX", "1"}});
  // Nothing listens on this loopback address: every connect is refused.
  ControllerUnderTest refusing({{"eosIP", "127.0.0.99"}, {"bpmFX", "1"}});
  std::vector<ControllerUnderTest*> both{&unresolvable, &refusing};

  for (auto* tempik : both) {
    ASSERT_TRUE(tempik->recorder->waitUntil([](const auto& log) { return finished(log, 2); },
                                            5s + patience));
  }
  const auto early = ProcessResources::now();
  for (auto* tempik : both) {
    ASSERT_TRUE(tempik->recorder->waitUntil(
        [](const auto& log) { return finished(log, attemptsInAMinute); }, 60s + patience));
  }
  const auto late = ProcessResources::now();

  for (auto* tempik : both) {
    SCOPED_TRACE(tempik == &refusing ? "refused" : "unresolvable");
    const auto log = tempik->recorder->log();
    expectOneAttemptEveryFiveSeconds(log.attempts);
    // Each attempt made exactly one client: none doubled, none left over.
    EXPECT_EQ(tempik->attemptsThatMadeAClient(), static_cast<std::int64_t>(log.attempts.size()));
    EXPECT_FALSE(tempik->isConnected());
  }

  std::printf("descriptors %zu -> %zu, threads %zu -> %zu, resident %.1f -> %.1f MiB\n",
              early.descriptors, late.descriptors, early.threads, late.threads,
              static_cast<double>(early.residentBytes) / MiB,
              static_cast<double>(late.residentBytes) / MiB);
  EXPECT_EQ(late.descriptors, early.descriptors);
  EXPECT_EQ(late.threads, early.threads);
  if (residentMemoryIsMeaningful) {
    EXPECT_LE(late.residentBytes, early.residentBytes + MiB);
  }
}

}  // namespace
}  // namespace tempik::faults
