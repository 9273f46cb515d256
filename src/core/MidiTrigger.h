#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/MidiMessage.h"

namespace tempik::core {

/// The pad, key, pedal or button that taps: a note or a controller on one channel.
struct MidiTrigger {
  enum class Kind { note, controller };
  Kind kind = Kind::note;
  int channel = 1;  // 1-16
  int number = 0;   // 0-127
  friend bool operator==(const MidiTrigger&, const MidiTrigger&) = default;
};

/// The settings text, "note <channel> <number>" or "cc <channel> <number>", and back;
/// anything else, or a channel or number out of range, reads as nothing.
[[nodiscard]] std::string settingsText(const MidiTrigger& trigger);
[[nodiscard]] std::optional<MidiTrigger> parseMidiTrigger(std::string_view text);

/// The trigger a message would teach: a note-on that sounds (velocity above 0), or any
/// control change. Clock messages teach nothing.
[[nodiscard]] std::optional<MidiTrigger> triggerOf(const MidiMessage& message);

/// Tells which messages tap for one trigger. A note taps on each note-on that sounds; a
/// controller taps when its value crosses from below 64 to 64 or above, so a pedal taps
/// once per press however many values it sends. A plain value, kept on one thread.
class MidiTapDetector {
 public:
  static constexpr int controllerThreshold = 64;

  explicit MidiTapDetector(MidiTrigger trigger) : trigger_(trigger) {}

  [[nodiscard]] const MidiTrigger& trigger() const { return trigger_; }
  /// Whether message taps; remembers the controller's value for the next one.
  [[nodiscard]] bool taps(const MidiMessage& message);

 private:
  MidiTrigger trigger_;
  // A controller not heard yet counts as released: the first press taps.
  bool controllerDown_ = false;
};

}  // namespace tempik::core
