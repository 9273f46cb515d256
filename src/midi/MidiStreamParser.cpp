#include "midi/MidiStreamParser.h"

namespace tempik::midi {

namespace {

constexpr std::uint8_t noteOn = 0x90;
constexpr std::uint8_t controlChange = 0xB0;
constexpr std::uint8_t firstRealTime = 0xF8;

// Data bytes after a status byte; system common messages have fixed lengths, System
// Exclusive and undefined status bytes take their data as nothing.
int dataLength(std::uint8_t status) {
  switch (status & 0xF0) {
    case 0xC0:  // program change
    case 0xD0:  // channel pressure
      return 1;
    case 0xF0:
      break;
    default:
      return 2;
  }
  switch (status) {
    case 0xF1:  // time code quarter frame
    case 0xF3:  // song select
      return 1;
    case 0xF2:  // song position
      return 2;
    default:
      return 0;
  }
}

}  // namespace

std::vector<core::MidiMessage> MidiStreamParser::read(std::span<const std::uint8_t> bytes) {
  std::vector<core::MidiMessage> messages;
  for (const std::uint8_t byte : bytes) {
    if (byte >= firstRealTime) {
      // Real-time bytes may come between any two bytes and change nothing around them.
      switch (byte) {
        case 0xF8:
          messages.emplace_back(core::MidiClockMessage::clock);
          break;
        case 0xFA:
          messages.emplace_back(core::MidiClockMessage::start);
          break;
        case 0xFB:
          messages.emplace_back(core::MidiClockMessage::continueClock);
          break;
        case 0xFC:
          messages.emplace_back(core::MidiClockMessage::stop);
          break;
        default:
          break;
      }
    } else if (byte & 0x80) {
      readStatus(byte);
    } else {
      readData(byte, messages);
    }
  }
  return messages;
}

// A system status byte ends running status: data after it belongs to that message (or to
// none), which taps nothing.
void MidiStreamParser::readStatus(std::uint8_t status) {
  read_ = 0;
  length_ = dataLength(status);
  status_ = status;
}

void MidiStreamParser::readData(std::uint8_t data, std::vector<core::MidiMessage>& messages) {
  if (status_ == 0) return;
  data_[read_++] = data;
  if (read_ < length_) return;
  read_ = 0;
  const int channel = (status_ & 0x0F) + 1;
  switch (status_ & 0xF0) {
    case noteOn:
      messages.emplace_back(core::MidiNoteOn{channel, data_[0], data_[1]});
      break;
    case controlChange:
      messages.emplace_back(core::MidiControlChange{channel, data_[0], data_[1]});
      break;
    default:
      break;
  }
}

}  // namespace tempik::midi
