#include "core/EffectRange.h"

#include <charconv>
#include <regex>

#include "core/WhiteSpace.h"

namespace tempik::core {

namespace {

// The longest token the pattern can match ("9999.999"); anything longer is rejected before
// it reaches the regex engine, whose backtracking recurses per character.
constexpr std::size_t longestEffectNumber = 8;

const std::regex& effectNumberPattern() {
  // [0-9] rather than \d: digits are ASCII whatever the process locale says.
  static const std::regex pattern{R"([0-9]{1,4}(\.[0-9]{1,3})?)"};
  return pattern;
}

std::optional<EffectRange> parseRange(std::string_view text, std::size_t hyphen) {
  const std::string_view first = trimBlanks(text.substr(0, hyphen));
  const std::string_view last = trimBlanks(text.substr(hyphen + 1));

  const auto firstValue = parseEffectNumber(first);
  if (!firstValue) return std::nullopt;
  if (last.empty()) return EffectRange{EffectRange::OpenRange{std::string(first)}};

  const auto lastValue = parseEffectNumber(last);
  if (!lastValue || !(*firstValue < *lastValue)) return std::nullopt;
  return EffectRange{EffectRange::Range{std::string(first), std::string(last)}};
}

std::optional<EffectRange> parseList(std::string_view text) {
  std::vector<std::string> effects;
  std::size_t pieceStart = 0;
  std::size_t position = 0;
  const auto endPiece = [&](std::size_t pieceEnd) {
    if (pieceEnd > pieceStart) effects.emplace_back(text.substr(pieceStart, pieceEnd - pieceStart));
  };
  while (position < text.size()) {
    std::size_t separator = text[position] == ',' ? 1 : whiteSpaceLengthAt(text, position);
    if (separator == 0) {
      ++position;
      continue;
    }
    endPiece(position);
    position += separator;
    pieceStart = position;
  }
  endPiece(text.size());

  if (effects.empty()) return std::nullopt;
  for (const auto& effect : effects) {
    if (!parseEffectNumber(effect)) return std::nullopt;
  }
  return EffectRange{EffectRange::List{std::move(effects)}};
}

}  // namespace

std::optional<double> parseEffectNumber(std::string_view token) {
  if (token.empty() || token.size() > longestEffectNumber) return std::nullopt;
  if (!std::regex_match(token.begin(), token.end(), effectNumberPattern())) return std::nullopt;

  // from_chars reads the decimal point the same in every locale.
  double value = 0.0;
  const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
  if (error != std::errc{} || end != token.data() + token.size() || !(value > 0.0)) {
    return std::nullopt;
  }
  return value;
}

std::optional<EffectRange> EffectRange::parse(std::string_view text) {
  const std::string_view trimmed = trimWhiteSpace(text);
  const std::size_t hyphen = trimmed.find('-');
  if (hyphen != std::string_view::npos) return parseRange(trimmed, hyphen);
  return parseList(trimmed);
}

std::string EffectRange::eosSyntax() const {
  struct Formatter {
    std::string operator()(const List& list) const {
      std::string text;
      for (const auto& effect : list.effects) {
        if (!text.empty()) text += " + ";
        text += effect;
      }
      return text;
    }
    std::string operator()(const Range& range) const { return range.first + " Thru " + range.last; }
    std::string operator()(const OpenRange& range) const { return range.first + " Thru -"; }
  };
  return std::visit(Formatter{}, selection_);
}

}  // namespace tempik::core
