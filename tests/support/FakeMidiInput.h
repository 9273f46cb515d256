#pragma once

#include "core/MidiInput.h"

namespace tempik::fakes {

/// A MIDI input the test drives: it keeps the chosen sources and hands the test's states and
/// messages to the handlers on the caller's thread (the executor's, in the tests); nothing
/// before open() or after close().
struct FakeMidiInput final : core::MidiInput {
  void open(core::MidiSources sources, EventHandler onEvent, StateHandler onState) override {
    chosen = std::move(sources), eventHandler = std::move(onEvent),
    stateHandler = std::move(onState);
  }
  void choose(core::MidiSources sources) override { chosen = std::move(sources); }
  void close() override { eventHandler = nullptr, stateHandler = nullptr; }
  void report(const core::MidiInputState& state) const {
    if (stateHandler) stateHandler(state);
  }
  void send(const core::MidiEvent& event) const {
    if (eventHandler) eventHandler(event);
  }

  core::MidiSources chosen;
  EventHandler eventHandler;
  StateHandler stateHandler;
};

}  // namespace tempik::fakes
