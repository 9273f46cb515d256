#pragma once

#include <rtmidi/RtMidi.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/MidiMessage.h"
#include "midi/ArrivalClock.h"
#include "midi/MidiStreamParser.h"

namespace tempik::midi {

/// One RtMidi input: tempik's own port on a MIDI system, which any source can be connected
/// to, or a connection to one of the system's sources. Each message it reads is handed to
/// the sink, stamped with its arrival.
///
/// Create, list and destroy it on one thread (the MIDI queue); the sink is called on RtMidi's
/// thread, and must only post. Destroying it stops that thread first.
class MidiPort {
 public:
  using Sink = std::function<void(const core::MidiEvent&)>;
  using LogLine = std::function<void(std::string)>;

  /// A port, or why there is none.
  struct Opened {
    std::unique_ptr<MidiPort> port;
    std::string problem;
  };

  /// tempik's own port, named name, on the system api.
  static Opened own(RtMidi::Api api, const std::string& name, Sink sink, LogLine log);
  /// A port named name connected to the source listed as source (by sources()).
  static Opened connected(RtMidi::Api api, const std::string& name, const std::string& source,
                          Sink sink, LogLine log);

  /// The system's sources now, by name (ALSA's client and port numbers left off: they change
  /// when a device is plugged in again).
  [[nodiscard]] std::vector<std::string> sources() const;

  MidiPort(const MidiPort&) = delete;
  MidiPort& operator=(const MidiPort&) = delete;
  ~MidiPort();

  struct Key {};
  MidiPort(Key, RtMidi::Api api, Sink sink, LogLine log);

 private:
  static void received(double secondsSincePrevious, std::vector<unsigned char>* bytes, void* port);
  [[nodiscard]] std::string sourceName(unsigned int index) const;

  Sink sink_;
  LogLine log_;
  MidiStreamParser parser_;
  ArrivalClock arrivals_;
  // Last, so that it goes first: its thread stops before what it calls into.
  std::unique_ptr<RtMidiIn> in_;
};

}  // namespace tempik::midi
