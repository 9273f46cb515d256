#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "core/Executor.h"
#include "core/Log.h"
#include "core/MidiInput.h"

namespace tempik::net {
class SerialQueue;
}

namespace tempik::midi {

/// The machine's MIDI input through RtMidi, on every MIDI system RtMidi finds working (ALSA's
/// sequencer, a running JACK server): an input port of tempik's own on each, which any source
/// can be connected to, and a connection to each chosen source.
///
/// RtMidi tells of no source that comes or goes, so the sources are listed again every
/// scanInterval; a JACK server's end is told at once, and one that is not there is looked
/// for at each scan. A system that is absent is skipped without a word on the terminal.
///
/// Runs on the executor it is given: create, open, choose, close and destroy it there; the
/// handlers run there. RtMidi's objects live on a serial queue of their own (listing and
/// connecting may wait on a MIDI server); RtMidi's threads read the bytes and post each
/// message to the executor. close() waits for the queue to let go of every port.
class RtMidiInput final : public core::MidiInput {
 public:
  struct Options {
    /// The name of tempik's own port, and of its MIDI clients.
    std::string portName = "tempik";
    /// A source plugged in while tempik runs is connected within this.
    std::chrono::milliseconds scanInterval{2500};
  };

  RtMidiInput(std::shared_ptr<core::Executor> executor, std::shared_ptr<core::Log> log,
              Options options);
  RtMidiInput(std::shared_ptr<core::Executor> executor, std::shared_ptr<core::Log> log)
      : RtMidiInput(std::move(executor), std::move(log), Options{}) {}
  ~RtMidiInput() override;

  RtMidiInput(const RtMidiInput&) = delete;
  RtMidiInput& operator=(const RtMidiInput&) = delete;

  void open(core::MidiSources sources, EventHandler onEvent, StateHandler onState) override;
  void choose(core::MidiSources sources) override;
  void close() override;

 private:
  struct Delivery;
  class Systems;
  std::shared_ptr<core::Executor> executor_;
  std::shared_ptr<core::Log> log_;
  const Options options_;
  std::shared_ptr<Delivery> delivery_;
  std::shared_ptr<net::SerialQueue> queue_;
  std::shared_ptr<Systems> systems_;
};

}  // namespace tempik::midi
