#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/MidiMessage.h"

namespace tempik::midi {

/// Reads a MIDI byte stream into the messages tempik acts on: note-ons, control changes and
/// the beat clock's real-time messages. It takes the stream as MIDI defines it, whatever the
/// sender does: running status, System Exclusive of any length (dropped), real-time bytes in
/// the middle of other messages, undefined status bytes and stray data (dropped, never
/// taken for something else). A plain value: one per source, kept on that source's thread.
class MidiStreamParser {
 public:
  /// The messages that bytes complete, in order; a message may span calls.
  [[nodiscard]] std::vector<core::MidiMessage> read(std::span<const std::uint8_t> bytes);

 private:
  void readStatus(std::uint8_t status);
  void readData(std::uint8_t data, std::vector<core::MidiMessage>& messages);

  // The status the data bytes belong to (running status for channel messages), none before
  // the first; how many data bytes its messages have, and those read so far.
  std::uint8_t status_ = 0;
  int length_ = 0;
  int read_ = 0;
  std::uint8_t data_[2] = {};
};

}  // namespace tempik::midi
