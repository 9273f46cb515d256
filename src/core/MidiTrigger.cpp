#include "core/MidiTrigger.h"

#include <algorithm>
#include <charconv>
#include <utility>
#include <variant>

#include "core/WhiteSpace.h"

namespace tempik::core {

namespace {

constexpr std::string_view noteWord = "note";
constexpr std::string_view controllerWord = "cc";

// The next word of text, which loses it and the spaces before it.
std::string_view nextWord(std::string_view& text) {
  const auto start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) {
    text = {};
    return {};
  }
  text.remove_prefix(start);
  const auto end = std::min(text.find(' '), text.size());
  const std::string_view word = text.substr(0, end);
  text.remove_prefix(end);
  return word;
}

std::optional<int> numberIn(std::string_view word, int lowest, int highest) {
  int value = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (error != std::errc{} || end != word.data() + word.size() || word.empty()) return std::nullopt;
  if (value < lowest || value > highest) return std::nullopt;
  return value;
}

}  // namespace

std::string settingsText(const MidiTrigger& trigger) {
  return std::string(trigger.kind == MidiTrigger::Kind::note ? noteWord : controllerWord) + ' ' +
         std::to_string(trigger.channel) + ' ' + std::to_string(trigger.number);
}

std::optional<MidiTrigger> parseMidiTrigger(std::string_view text) {
  std::string_view rest = trimWhiteSpace(text);
  const std::string_view kind = nextWord(rest);
  const auto channel = numberIn(nextWord(rest), 1, 16);
  const auto number = numberIn(nextWord(rest), 0, 127);
  if (!channel || !number || !nextWord(rest).empty()) return std::nullopt;
  if (kind == noteWord) return MidiTrigger{MidiTrigger::Kind::note, *channel, *number};
  if (kind == controllerWord) return MidiTrigger{MidiTrigger::Kind::controller, *channel, *number};
  return std::nullopt;
}

std::optional<MidiTrigger> triggerOf(const MidiMessage& message) {
  if (const auto* note = std::get_if<MidiNoteOn>(&message); note && note->velocity > 0) {
    return MidiTrigger{MidiTrigger::Kind::note, note->channel, note->note};
  }
  if (const auto* control = std::get_if<MidiControlChange>(&message)) {
    return MidiTrigger{MidiTrigger::Kind::controller, control->channel, control->controller};
  }
  return std::nullopt;
}

bool MidiTapDetector::taps(const MidiMessage& message) {
  if (const auto* note = std::get_if<MidiNoteOn>(&message)) {
    return trigger_.kind == MidiTrigger::Kind::note && note->channel == trigger_.channel &&
           note->note == trigger_.number && note->velocity > 0;
  }
  const auto* control = std::get_if<MidiControlChange>(&message);
  if (!control || trigger_.kind != MidiTrigger::Kind::controller ||
      control->channel != trigger_.channel || control->controller != trigger_.number) {
    return false;
  }
  const bool wasDown = std::exchange(controllerDown_, control->value >= controllerThreshold);
  return controllerDown_ && !wasDown;
}

}  // namespace tempik::core
