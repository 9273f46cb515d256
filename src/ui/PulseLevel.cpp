#include "ui/PulseLevel.h"

#include <cmath>

namespace tempik::ui {

double pulseLevel(std::optional<std::int64_t> bpm, std::optional<TimePoint> lastTap,
                  bool reduceMotion, TimePoint now) {
  constexpr double steadyLevel = 0.4;
  if (!bpm || !lastTap || reduceMotion) return steadyLevel;
  const double seconds = std::chrono::duration<double>(now - *lastTap).count();
  const double beats = seconds * static_cast<double>(*bpm) / 60.0;
  // floor keeps the fraction in [0, 1) for a tap in the future (the clock went back).
  const double fraction = beats - std::floor(beats);
  const double remaining = 1.0 - fraction;
  return remaining * remaining;
}

Glow glowAt(double level) {
  return {0.25 + 0.75 * level, 8.0 + 32.0 * level};
}

}  // namespace tempik::ui
