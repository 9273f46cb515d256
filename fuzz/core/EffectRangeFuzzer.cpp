// Feeds arbitrary bytes to the effect selection parser. Invariants: parsing never crashes;
// every token of a selection is a valid effect number that occurs in the input; a range
// runs upwards; the console syntax names every token; and writing the selection back in the
// operator's own syntax parses to the same selection.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>

#include "core/EffectRange.h"

namespace {

using tempik::core::EffectRange;
using tempik::core::parseEffectNumber;

void check(bool condition) {
  if (!condition) std::abort();
}

void checkToken(std::string_view input, const std::string& token) {
  check(parseEffectNumber(token).has_value());
  check(input.find(token) != std::string_view::npos);
}

struct Checker {
  std::string_view input;
  std::string operator()(const EffectRange::List& list) const {
    check(!list.effects.empty());
    std::string typed;
    for (const auto& effect : list.effects) {
      checkToken(input, effect);
      typed += effect + ",";
    }
    return typed;
  }
  std::string operator()(const EffectRange::Range& range) const {
    checkToken(input, range.first);
    checkToken(input, range.last);
    check(*parseEffectNumber(range.first) < *parseEffectNumber(range.last));
    return range.first + " - " + range.last;
  }
  std::string operator()(const EffectRange::OpenRange& range) const {
    checkToken(input, range.first);
    return range.first + "-";
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const auto range = EffectRange::parse(input);
  if (!range) return 0;

  const std::string typed = std::visit(Checker{input}, range->selection());
  check(EffectRange::parse(typed) == range);

  const std::string syntax = range->eosSyntax();
  check(!syntax.empty() && syntax.find('\0') == std::string::npos);
  return 0;
}
