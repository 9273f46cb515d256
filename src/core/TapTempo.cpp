#include "core/TapTempo.h"

#include <cmath>

namespace tempik::core {

namespace {

double secondsBetween(TapTempo::TimePoint from, TapTempo::TimePoint to) {
  return std::chrono::duration<double>(to - from).count();
}

}  // namespace

void TapTempo::recordTap(TimePoint at) {
  if (!taps_.empty()) {
    const double gap = secondsBetween(taps_.back(), at);
    if (gap < 0.0 || gap > longestGap.count()) {
      taps_.clear();
    } else if (gap < shortestGap.count()) {
      return;
    }
  }

  taps_.push_back(at);
  if (taps_.size() > maximumTaps) taps_.erase(taps_.begin());
  if (taps_.size() < 3) return;

  const double meanInterval =
      secondsBetween(taps_.front(), taps_.back()) / static_cast<double>(taps_.size() - 1);
  // llround rounds halves away from zero; every accepted gap keeps this within 12..600.
  bpm_ = static_cast<std::int64_t>(std::llround(60.0 / meanInterval));
}

}  // namespace tempik::core
