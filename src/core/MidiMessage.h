#pragma once

#include <chrono>
#include <cstdint>
#include <variant>

namespace tempik::core {

/// A note-on as tempik reads it; channels count from 1 as on a controller's display. A
/// velocity of 0 is a note-off by MIDI's own convention.
struct MidiNoteOn {
  int channel = 1;
  int note = 0;
  int velocity = 0;
  friend bool operator==(const MidiNoteOn&, const MidiNoteOn&) = default;
};

/// A control change: a pedal, a button or a knob.
struct MidiControlChange {
  int channel = 1;
  int controller = 0;
  int value = 0;
  friend bool operator==(const MidiControlChange&, const MidiControlChange&) = default;
};

/// The beat clock's real-time messages: 24 clocks make a beat.
enum class MidiClockMessage { clock, start, continueClock, stop };

/// The MIDI messages tempik acts on; everything else is dropped where the bytes are read.
using MidiMessage = std::variant<MidiNoteOn, MidiControlChange, MidiClockMessage>;

/// A message with the moment it arrived (the MIDI system's own timestamp where it has one)
/// and the port it came through: a source connected twice, or two clocks at once, are told
/// apart by it.
struct MidiEvent {
  std::chrono::system_clock::time_point at;
  MidiMessage message;
  unsigned port = 0;
  friend bool operator==(const MidiEvent&, const MidiEvent&) = default;
};

}  // namespace tempik::core
