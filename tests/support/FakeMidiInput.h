#pragma once

#include <vector>

#include "core/MidiInput.h"

namespace tempik::fakes {

/// A MIDI input the test drives: it records what was chosen and hands the test's events to
/// the open handler on the caller's thread; nothing once closed.
struct FakeMidiInput final : core::MidiInput {
  void open(core::MidiSources sources, EventHandler onEvent, StateHandler) override {
    chosen.push_back(std::move(sources)), handler = std::move(onEvent);
  }
  void choose(core::MidiSources sources) override { chosen.push_back(std::move(sources)); }
  void close() override { handler = nullptr; }
  void send(std::chrono::system_clock::time_point at, core::MidiMessage message,
            unsigned port = 0) const {
    if (handler) handler(core::MidiEvent{at, message, port});
  }

  std::vector<core::MidiSources> chosen;
  EventHandler handler;
};

}  // namespace tempik::fakes
