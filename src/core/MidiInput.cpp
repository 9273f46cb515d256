#include "core/MidiInput.h"

#include "core/WhiteSpace.h"

namespace tempik::core {

namespace {
constexpr std::string_view allWord = "all";
constexpr std::string_view noneWord = "none";
}  // namespace

std::string settingsText(const MidiSources& sources) {
  switch (sources.kind) {
    case MidiSources::Kind::none:
      return std::string(noneWord);
    case MidiSources::Kind::named:
      return sources.name;
    case MidiSources::Kind::all:
      break;
  }
  return std::string(allWord);
}

MidiSources parseMidiSources(std::string_view text) {
  const std::string_view trimmed = trimWhiteSpace(text);
  if (trimmed.empty() || trimmed == allWord) return {};
  if (trimmed == noneWord) return {MidiSources::Kind::none, {}};
  return {MidiSources::Kind::named, std::string(trimmed)};
}

}  // namespace tempik::core
