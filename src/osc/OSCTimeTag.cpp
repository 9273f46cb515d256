#include "osc/OSCTimeTag.h"

#include <cmath>
#include <limits>

namespace tempik::osc {
namespace {

// Seconds from the NTP epoch (1900-01-01 00:00:00 UTC) to the system clock's (1970).
constexpr double kSecondsFrom1900To1970 = 2208988800.0;
constexpr double kSecondsPerEra = 4294967296.0;  // 2^32
constexpr double kFractionsPerSecond = 4294967296.0;

double secondsSince1900(OSCDate date) {
  return date.time_since_epoch().count() + kSecondsFrom1900To1970;
}

}  // namespace

OSCTimeTag OSCTimeTag::now() {
  return fromDate(OSCDate(std::chrono::system_clock::now()));
}

OSCTimeTag OSCTimeTag::fromDate(OSCDate date) {
  return fromSecondsSinceEpoch(secondsSince1900(date));
}

OSCTimeTag OSCTimeTag::fromSecondsSinceEpoch(double seconds) {
  if (!(seconds > 0) || !std::isfinite(seconds)) return OSCTimeTag(0, 0);
  if (seconds < kSecondsPerEra) {
    return OSCTimeTag(static_cast<std::uint64_t>(seconds * kFractionsPerSecond), 0);
  }
  const double eras = std::floor(seconds / kSecondsPerEra);
  if (eras >= static_cast<double>(std::numeric_limits<std::int64_t>::max())) {
    return OSCTimeTag(0, std::numeric_limits<std::int64_t>::max());
  }
  // The remainder lies in [0, 2^32); rounding may land it exactly on 2^32.
  const double remainder =
      std::fmin(seconds - eras * kSecondsPerEra, std::nextafter(kSecondsPerEra, 0.0));
  return OSCTimeTag(static_cast<std::uint64_t>(std::fmax(remainder, 0.0) * kFractionsPerSecond),
                    static_cast<std::int64_t>(eras));
}

bool OSCTimeTag::isFuture(OSCDate now) const {
  if (isImmediate()) return false;
  return fromDate(now).rawValue < rawValue;
}

OSCDate OSCTimeTag::date(OSCDate now) const {
  if (isImmediate()) return now;
  const double seconds = static_cast<double>(rawValue) / kFractionsPerSecond +
                         static_cast<double>(era) * kSecondsPerEra - kSecondsFrom1900To1970;
  return OSCDate(std::chrono::duration<double>(seconds));
}

double OSCTimeTag::timeIntervalSinceNow() const {
  return timeInterval(OSCDate(std::chrono::system_clock::now()));
}

double OSCTimeTag::timeInterval(OSCDate since) const {
  if (isImmediate()) return 0;
  return (date(since) - since).count();
}

std::string OSCTimeTag::description() const {
  if (isImmediate()) return "1 (immediate)";
  std::string text = std::to_string(rawValue);
  if (era != 0) text += "-era:" + std::to_string(era);
  return text;
}

}  // namespace tempik::osc
