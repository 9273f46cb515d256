#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

namespace tempik::core {

/// Turns taps into a whole-number tempo: the mean interval of the last three or four taps,
/// as beats per minute. A plain value; whoever owns it keeps it on one thread.
class TapTempo {
 public:
  using TimePoint = std::chrono::system_clock::time_point;

  /// Most taps kept; the tempo is the mean over this window.
  static constexpr std::size_t maximumTaps = 4;
  /// Taps closer than this to the previous one are bounces and count once.
  static constexpr std::chrono::duration<double> shortestGap{0.1};
  /// A pause longer than this (or a clock going backwards) starts a new sequence.
  static constexpr std::chrono::duration<double> longestGap{5.0};

  /// The tempo in whole beats per minute; empty until a sequence first reaches three taps,
  /// then kept until a later sequence computes its own.
  [[nodiscard]] const std::optional<std::int64_t>& bpm() const { return bpm_; }
  /// The accepted taps of the current sequence, oldest first, at most four.
  [[nodiscard]] const std::vector<TimePoint>& taps() const { return taps_; }

  void recordTap(TimePoint at);

  friend bool operator==(const TapTempo&, const TapTempo&) = default;

 private:
  std::optional<std::int64_t> bpm_;
  std::vector<TimePoint> taps_;
};

}  // namespace tempik::core
