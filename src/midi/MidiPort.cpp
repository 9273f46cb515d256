#include "midi/MidiPort.h"

#include <span>

#include "midi/SourceName.h"

namespace tempik::midi {

MidiPort::MidiPort(Key, RtMidi::Api api, Sink sink, LogLine log)
    : sink_(std::move(sink)), log_(std::move(log)) {
  in_ = std::make_unique<RtMidiIn>(api, "tempik");
  // RtMidi prints its warnings on the terminal unless it is given somewhere else to put them.
  in_->setErrorCallback([](RtMidiError::Type, const std::string& text,
                           void* port) { static_cast<MidiPort*>(port)->log_("RtMidi: " + text); },
                        this);
  // System Exclusive and active sensing are never used; the clock is.
  in_->ignoreTypes(true, false, true);
  in_->setCallback(received, this);
}

MidiPort::~MidiPort() {
  if (in_) in_->closePort();
}

MidiPort::Opened MidiPort::own(RtMidi::Api api, const std::string& name, Sink sink, LogLine log) {
  try {
    auto port = std::make_unique<MidiPort>(Key{}, api, std::move(sink), std::move(log));
    port->in_->openVirtualPort(name);
    return {std::move(port), {}};
  } catch (const RtMidiError& error) {
    return {nullptr, error.getMessage()};
  }
}

MidiPort::Opened MidiPort::connected(RtMidi::Api api, const std::string& name,
                                     const std::string& source, Sink sink, LogLine log) {
  try {
    auto port = std::make_unique<MidiPort>(Key{}, api, std::move(sink), std::move(log));
    const unsigned int count = port->in_->getPortCount();
    for (unsigned int index = 0; index < count; ++index) {
      if (port->sourceName(index) != source) continue;
      port->in_->openPort(index, name);
      if (!port->in_->isPortOpen()) return {nullptr, "cannot connect to " + source};
      return {std::move(port), {}};
    }
    return {nullptr, source + " is not there"};
  } catch (const RtMidiError& error) {
    return {nullptr, error.getMessage()};
  }
}

std::vector<std::string> MidiPort::sources() const {
  std::vector<std::string> names;
  try {
    const unsigned int count = in_->getPortCount();
    for (unsigned int index = 0; index < count; ++index) {
      std::string name = sourceName(index);
      if (!name.empty()) names.push_back(std::move(name));
    }
  } catch (const RtMidiError& error) {
    log_("Cannot list MIDI sources: " + error.getMessage());
  }
  return names;
}

std::string MidiPort::sourceName(unsigned int index) const {
  std::string name = in_->getPortName(index);
  return in_->getCurrentApi() == RtMidi::LINUX_ALSA ? withoutAlsaAddress(std::move(name)) : name;
}

void MidiPort::received(double secondsSincePrevious, std::vector<unsigned char>* bytes,
                        void* opaque) {
  auto& port = *static_cast<MidiPort*>(opaque);
  const auto at = port.arrivals_.stamp(secondsSincePrevious, std::chrono::system_clock::now());
  for (auto& message : port.parser_.read(std::span<const std::uint8_t>(*bytes))) {
    port.sink_(core::MidiEvent{at, std::move(message)});
  }
}

}  // namespace tempik::midi
