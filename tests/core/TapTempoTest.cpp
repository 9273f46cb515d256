#include "core/TapTempo.h"

#include <gtest/gtest.h>

#include <vector>

namespace tempik::core {
namespace {

using std::chrono::duration_cast;
using std::chrono::system_clock;

system_clock::time_point at(double seconds) {
  return system_clock::time_point{} + std::chrono::hours(24 * 365 * 56) +
         duration_cast<system_clock::duration>(std::chrono::duration<double>(seconds));
}

std::vector<system_clock::time_point> times(const std::vector<double>& seconds) {
  std::vector<system_clock::time_point> result;
  for (double s : seconds) result.push_back(at(s));
  return result;
}

struct TapCase {
  const char* name;
  std::vector<double> fed;
  std::vector<double> expectedTaps;
  std::optional<std::int64_t> expectedBpm;
};

void PrintTo(const TapCase& c, std::ostream* out) {
  *out << c.name;
}

class TapSequences : public testing::TestWithParam<TapCase> {};

TEST_P(TapSequences, LeaveTheWindowAndTempo) {
  const TapCase& c = GetParam();
  TapTempo tempo;
  for (double s : c.fed) tempo.recordTap(at(s));
  EXPECT_EQ(tempo.taps(), times(c.expectedTaps));
  EXPECT_EQ(tempo.bpm(), c.expectedBpm);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, TapSequences,
    testing::Values(
        TapCase{"OneTap", {0.0}, {0.0}, std::nullopt},
        TapCase{"TwoTaps", {0.0, 0.5}, {0.0, 0.5}, std::nullopt},
        TapCase{"ThirdTapSetsTempo", {0.0, 0.5, 1.0}, {0.0, 0.5, 1.0}, 120},
        TapCase{"WindowKeepsFourNewest", {0.0, 0.5, 1.0, 1.5, 2.3}, {0.5, 1.0, 1.5, 2.3}, 100},
        TapCase{"BounceIgnored", {0.0, 0.5, 1.0, 1.5, 2.3, 2.35}, {0.5, 1.0, 1.5, 2.3}, 100},
        TapCase{"LongPauseKeepsOldTempo", {0.0, 0.5, 1.0, 1.5, 2.3, 8.0}, {8.0}, 100},
        TapCase{"NewSequenceRoundsNotTruncates",
                {0.0, 0.5, 1.0, 1.5, 2.3, 8.0, 8.47, 8.94},
                {8.0, 8.47, 8.94},
                128},
        TapCase{"ShortestGapAccepted", {0.0, 0.1, 0.2, 0.3}, {0.0, 0.1, 0.2, 0.3}, 600},
        TapCase{"LongestGapAccepted", {0.0, 5.0, 10.0}, {0.0, 5.0, 10.0}, 12},
        TapCase{"JustOverLongestGapRestarts", {0.0, 5.0, 10.001}, {10.001}, std::nullopt},
        TapCase{"ClockBackwardsRestarts", {10.0, 10.5, 11.0, 9.0}, {9.0}, 120},
        TapCase{"SteadyTapsKeepFour", {0, 0.5, 1, 1.5, 2, 2.5, 3}, {1.5, 2, 2.5, 3}, 120}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tempik::core
