#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace tempik::ui {

using TimePoint = std::chrono::system_clock::time_point;

/// The tap button's glow level at a frame time, between 0 and 1: 1 on every beat (counted
/// from the last tap), falling along a parabola towards 0 just before the next. A steady
/// 0.4 when there is no tempo or no tap, or reduced motion is asked for.
[[nodiscard]] double pulseLevel(std::optional<std::int64_t> bpm, std::optional<TimePoint> lastTap,
                                bool reduceMotion, TimePoint now);

/// How the glow is drawn at a level: the accent colour's opacity and the blur in pixels.
struct Glow {
  double opacity;
  double blurRadius;
};
[[nodiscard]] Glow glowAt(double level);

}  // namespace tempik::ui
