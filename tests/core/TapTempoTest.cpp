#include "core/TapTempo.h"

#include <gtest/gtest.h>

#include <vector>

namespace tempik::core {
namespace {

std::vector<TapTempo::TimePoint> atSeconds(const std::vector<double>& seconds) {
  std::vector<TapTempo::TimePoint> times;
  for (double s : seconds) {
    times.push_back(TapTempo::TimePoint{} + std::chrono::hours(24 * 365 * 56) +
                    std::chrono::duration_cast<TapTempo::TimePoint::duration>(
                        std::chrono::duration<double>(s)));
  }
  return times;
}

TEST(TapTempo, SequencesLeaveTheWindowAndTempo) {
  const struct {
    const char* name;
    std::vector<double> fed;
    std::vector<double> expectedTaps;
    std::optional<std::int64_t> expectedBpm;
  } cases[] = {
      {"one tap", {0.0}, {0.0}, std::nullopt},
      {"two taps", {0.0, 0.5}, {0.0, 0.5}, std::nullopt},
      {"third tap sets the tempo", {0.0, 0.5, 1.0}, {0.0, 0.5, 1.0}, 120},
      {"window keeps the four newest", {0.0, 0.5, 1.0, 1.5, 2.3}, {0.5, 1.0, 1.5, 2.3}, 100},
      {"bounce ignored", {0.0, 0.5, 1.0, 1.5, 2.3, 2.35}, {0.5, 1.0, 1.5, 2.3}, 100},
      {"long pause keeps the old tempo", {0.0, 0.5, 1.0, 1.5, 2.3, 8.0}, {8.0}, 100},
      {"new sequence rounds, not truncates",
       {0.0, 0.5, 1.0, 1.5, 2.3, 8.0, 8.47, 8.94},
       {8.0, 8.47, 8.94},
       128},
      {"shortest gap accepted", {0.0, 0.1, 0.2, 0.3}, {0.0, 0.1, 0.2, 0.3}, 600},
      {"longest gap accepted", {0.0, 5.0, 10.0}, {0.0, 5.0, 10.0}, 12},
      {"just over the longest gap restarts", {0.0, 5.0, 10.001}, {10.001}, std::nullopt},
      {"clock going backwards restarts", {10.0, 10.5, 11.0, 9.0}, {9.0}, 120},
      {"steady taps keep four", {0, 0.5, 1, 1.5, 2, 2.5, 3}, {1.5, 2, 2.5, 3}, 120},
  };
  for (const auto& c : cases) {
    TapTempo tempo;
    for (const auto at : atSeconds(c.fed)) tempo.recordTap(at);
    EXPECT_EQ(tempo.taps(), atSeconds(c.expectedTaps)) << c.name;
    EXPECT_EQ(tempo.bpm(), c.expectedBpm) << c.name;
  }
}

}  // namespace
}  // namespace tempik::core
