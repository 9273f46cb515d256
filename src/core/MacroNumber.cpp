#include "core/MacroNumber.h"

#include "core/WhiteSpace.h"

namespace tempik::core {

namespace {

constexpr std::int64_t highestMacro = 99999;

}  // namespace

std::optional<std::int64_t> parseMacroNumber(std::string_view text) {
  std::string_view digits = trimBlanks(text);
  bool negative = false;
  if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
    negative = digits.front() == '-';
    digits.remove_prefix(1);
  }
  if (digits.empty()) return std::nullopt;

  std::int64_t value = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    // Past the highest macro the exact value no longer matters, only that it is too big.
    if (value <= highestMacro) value = value * 10 + (c - '0');
  }
  if (negative || value < 1 || value > highestMacro) return std::nullopt;
  return value;
}

}  // namespace tempik::core
