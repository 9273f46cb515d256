#pragma once

#include <vector>

#include "core/MidiInput.h"

namespace tempik::fakes {

/// A MIDI input the test drives: it records what was chosen and hands the test's events and
/// states to the open handlers on the caller's thread; nothing once closed.
struct FakeMidiInput final : core::MidiInput {
  void open(core::MidiSources sources, EventHandler onEvent, StateHandler onState) override {
    chosen.push_back(std::move(sources)), handler = std::move(onEvent);
    stateHandler = std::move(onState);
  }
  void choose(core::MidiSources sources) override { chosen.push_back(std::move(sources)); }
  void close() override { handler = nullptr, stateHandler = nullptr; }
  void send(std::chrono::system_clock::time_point at, core::MidiMessage message,
            unsigned port = 0) const {
    if (handler) handler(core::MidiEvent{at, message, port});
  }
  void report(const core::MidiInputState& state) const {
    if (stateHandler) stateHandler(state);
  }

  std::vector<core::MidiSources> chosen;
  EventHandler handler;
  StateHandler stateHandler;
};

}  // namespace tempik::fakes
