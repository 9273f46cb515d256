#include "ui/PulseLevel.h"

#include <gtest/gtest.h>

namespace tempik::ui {
namespace {

using namespace std::chrono_literals;
const TimePoint lastTap = TimePoint{} + 1'000'000s;

struct PulseCase {
  const char* name;
  std::optional<std::int64_t> bpm;
  std::optional<TimePoint> lastTap;
  bool reduceMotion;
  std::chrono::milliseconds sinceTap;
  double level;
};

TEST(PulseLevel, FollowsTheBeatGridAnchoredAtTheLastTap) {
  const PulseCase cases[] = {
      {"no tempo", std::nullopt, lastTap, false, 250ms, 0.4},
      {"no tap", 120, std::nullopt, false, 250ms, 0.4},
      {"reduced motion", 120, lastTap, true, 250ms, 0.4},
      {"on the tap", 120, lastTap, false, 0ms, 1.0},
      {"half a beat later", 120, lastTap, false, 250ms, 0.25},
      {"on the next beat", 120, lastTap, false, 500ms, 1.0},
      {"long after, on a beat", 120, lastTap, false, 60'000ms, 1.0},
      {"just before a beat", 60, lastTap, false, 900ms, 0.01},
      {"tap in the future", 120, lastTap, false, -100ms, 0.04},
  };
  for (const auto& c : cases) {
    const double level = pulseLevel(c.bpm, c.lastTap, c.reduceMotion, lastTap + c.sinceTap);
    EXPECT_NEAR(level, c.level, 1e-9) << c.name;
  }
}

TEST(PulseLevel, GlowOpacityAndBlurGrowWithTheLevel) {
  const struct {
    double level, opacity, blur;
  } cases[] = {{0.0, 0.25, 8.0}, {0.25, 0.4375, 16.0}, {0.4, 0.55, 20.8}, {1.0, 1.0, 40.0}};
  for (const auto& c : cases) {
    const Glow glow = glowAt(c.level);
    EXPECT_NEAR(glow.opacity, c.opacity, 1e-9) << c.level;
    EXPECT_NEAR(glow.blurRadius, c.blur, 1e-9) << c.level;
  }
}

}  // namespace
}  // namespace tempik::ui
