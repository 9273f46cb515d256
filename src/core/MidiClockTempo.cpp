#include "core/MidiClockTempo.h"

#include "core/TapTempo.h"

namespace tempik::core {

std::optional<double> MidiClockTempo::clock(TimePoint at) {
  if (count_ > 0 && at < clocks_[(count_ - 1) % window]) restart();
  clocks_[count_ % window] = at;
  ++count_;
  if (count_ < window) return std::nullopt;
  return fittedTempo();
}

// The slope of arrival time over clock number is the time of one clock.
std::optional<double> MidiClockTempo::fittedTempo() const {
  const TimePoint first = clocks_[count_ % window];  // the oldest in the ring
  const double meanIndex = double(window - 1) / 2;
  double meanTime = 0;
  for (std::size_t i = 0; i < window; ++i) {
    meanTime += std::chrono::duration<double>(clocks_[(count_ + i) % window] - first).count();
  }
  meanTime /= double(window);
  double covariance = 0;
  double variance = 0;
  for (std::size_t i = 0; i < window; ++i) {
    const double time =
        std::chrono::duration<double>(clocks_[(count_ + i) % window] - first).count();
    covariance += (double(i) - meanIndex) * (time - meanTime);
    variance += (double(i) - meanIndex) * (double(i) - meanIndex);
  }
  const double beat = covariance / variance * double(clocksPerBeat);
  if (beat < TapTempo::shortestGap.count() || beat > TapTempo::longestGap.count()) {
    return std::nullopt;
  }
  return 60.0 / beat;
}

}  // namespace tempik::core
