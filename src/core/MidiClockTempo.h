#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <optional>

namespace tempik::core {

/// The tempo of a MIDI beat clock: 24 clocks a beat, measured over the last four beats. The
/// tempo is the least-squares fit of the clocks' arrival times, so the jitter of single
/// clocks (a few milliseconds through a USB interface) averages out instead of deciding the
/// tempo. A plain value, kept on one thread.
class MidiClockTempo {
 public:
  using TimePoint = std::chrono::system_clock::time_point;
  static constexpr std::size_t clocksPerBeat = 24;
  /// Clocks a tempo is measured over: four beats.
  static constexpr std::size_t window = 4 * clocksPerBeat;

  /// Start, Continue, Stop or a silence: the next clock is the first of a new count.
  void restart() { count_ = 0; }

  /// Records a clock; returns the tempo once a window of clocks has arrived since the last
  /// restart, and nothing before or while the clocks make no tempo (a beat shorter or longer
  /// than a tap could be). A clock earlier than the one before it starts a new count.
  std::optional<double> clock(TimePoint at);

 private:
  [[nodiscard]] std::optional<double> fittedTempo() const;

  // The latest clocks in a ring; count_ is how many arrived since the last restart.
  std::array<TimePoint, window> clocks_{};
  std::size_t count_ = 0;
};

}  // namespace tempik::core
