#pragma once

#include <chrono>
#include <optional>

namespace tempik::midi {

/// Turns RtMidi's time since the previous message into the moment a message arrived: the
/// MIDI system's own spacing of messages is kept, so a callback that runs late (JACK hands
/// over a whole period of messages at once) does not move them; a time that would lie in
/// the future, or lag the callback by more than maximumLag, is taken as the callback's own.
class ArrivalClock {
 public:
  using TimePoint = std::chrono::system_clock::time_point;
  static constexpr std::chrono::milliseconds maximumLag{200};

  TimePoint stamp(double secondsSincePrevious, TimePoint now);

 private:
  std::optional<TimePoint> previous_;
};

}  // namespace tempik::midi
