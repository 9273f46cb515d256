#include "ui/TapWindowDots.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QTest>

namespace tempik::ui {
namespace {

using namespace std::chrono_literals;
const TimePoint kLastTap = TimePoint{} + 1'000'000s;

TEST(VisibleTapCount, ShowsTheSequenceUntilItLapsesAfterFiveSeconds) {
  const struct {
    const char* name;
    std::int64_t tapCount;
    std::optional<TimePoint> kLastTap;
    std::chrono::milliseconds sinceTap;
    std::int64_t visible;
  } cases[] = {
      {"no taps", 0, std::nullopt, 0ms, 0},
      {"three taps, last 1 s ago", 3, kLastTap, 1000ms, 3},
      {"exactly 5 s", 4, kLastTap, 5000ms, 4},
      {"two taps, last 5.2 s ago", 2, kLastTap, 5200ms, 0},
      {"last tap in the future", 2, kLastTap, -3000ms, 2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(visibleTapCount(c.tapCount, c.kLastTap, kLastTap + c.sinceTap), c.visible) << c.name;
  }
}

TEST(TapWindowDots, LightsTheTapsAndNamesThemForAssistiveTechnologies) {
  TapWindowDots dots;
  dots.show();
  EXPECT_EQ(dots.size(), QSize(70, 10));
  EXPECT_EQ(dots.litDots(), 0);
  EXPECT_EQ(dots.accessibleName(), "0 of 4 taps");

  dots.setTaps(3, std::chrono::system_clock::now() - 1s);
  EXPECT_EQ(dots.litDots(), 3);
  EXPECT_EQ(QAccessible::queryAccessibleInterface(&dots)->text(QAccessible::Name), "3 of 4 taps");

  dots.setTaps(2, std::chrono::system_clock::now() - 5200ms);
  EXPECT_EQ(dots.litDots(), 0);
  EXPECT_EQ(dots.accessibleName(), "0 of 4 taps");
}

TEST(TapWindowDots, GoesDarkOnItsOwnSoonAfterTheSequenceLapses) {
  TapWindowDots dots;
  dots.show();
  dots.setTaps(2, std::chrono::system_clock::now() - 4900ms);
  ASSERT_EQ(dots.litDots(), 2);
  // Nothing is told to the dots: only their own quarter-second check can darken them.
  EXPECT_TRUE(QTest::qWaitFor([&] { return dots.litDots() == 0; }, 2000));
  EXPECT_EQ(dots.accessibleName(), "0 of 4 taps");
}

}  // namespace
}  // namespace tempik::ui
