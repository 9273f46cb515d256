#include "core/TempoMultiplier.h"

#include <algorithm>
#include <cmath>

namespace tempik::core {

namespace {
// Link carries a tempo as whole microseconds per beat: 128.6 arrives as 128.5999 or so.
constexpr double sessionResolution = 0.001;
}  // namespace

std::string settingsText(TempoMultiplier multiplier) {
  switch (multiplier) {
    case TempoMultiplier::half:
      return "0.5";
    case TempoMultiplier::twice:
      return "2";
    case TempoMultiplier::normal:
      break;
  }
  return "1";
}

std::optional<TempoMultiplier> parseTempoMultiplier(std::string_view text) {
  if (text == "0.5") return TempoMultiplier::half;
  if (text == "1") return TempoMultiplier::normal;
  if (text == "2") return TempoMultiplier::twice;
  return std::nullopt;
}

double factor(TempoMultiplier multiplier) {
  switch (multiplier) {
    case TempoMultiplier::half:
      return 0.5;
    case TempoMultiplier::twice:
      return 2.0;
    case TempoMultiplier::normal:
      break;
  }
  return 1.0;
}

std::int64_t wholeBPM(double tempo, TempoMultiplier multiplier) {
  // std::round rounds halves away from zero.
  return std::max<std::int64_t>(1, std::llround(tempo * factor(multiplier)));
}

bool takesOver(double followedTempo, TempoMultiplier multiplier,
               std::optional<std::int64_t> current) {
  if (!current) return true;
  const double distance = std::abs(followedTempo * factor(multiplier) - double(*current));
  return distance >= followMargin - sessionResolution &&
         wholeBPM(followedTempo, multiplier) != *current;
}

}  // namespace tempik::core
