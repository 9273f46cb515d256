#pragma once

#include <chrono>
#include <compare>
#include <cstdint>
#include <string>

namespace tempik::osc {

/// A wall-clock instant in seconds of double precision: wide enough for every NTP era.
using OSCDate = std::chrono::time_point<std::chrono::system_clock, std::chrono::duration<double>>;

/// An NTP timestamp: whole seconds since 1900-01-01 00:00:00 UTC in the high 32 bits, the
/// binary fraction of a second in the low 32 bits. `era` counts the whole 2^32-second eras
/// before `rawValue`; it is never written to the wire and is 0 for every received tag.
/// An immutable value; safe to hand between threads.
struct OSCTimeTag {
  std::uint64_t rawValue = 1;
  std::int64_t era = 0;

  constexpr OSCTimeTag() = default;
  constexpr explicit OSCTimeTag(std::uint64_t raw, std::int64_t eraCount = 0)
      : rawValue(raw), era(eraCount) {}

  /// The tag whose contents take effect at once (`rawValue` 1).
  static constexpr OSCTimeTag immediate() { return OSCTimeTag(1); }
  static OSCTimeTag now();
  /// The tag for `date`; instants at or before 1900 give `rawValue` 0.
  static OSCTimeTag fromDate(OSCDate date);
  /// The tag for `seconds` since 1900-01-01 00:00:00 UTC.
  static OSCTimeTag fromSecondsSinceEpoch(double seconds);

  constexpr bool isImmediate() const { return rawValue == 1; }
  bool isFuture() const { return isFuture(OSCDate(std::chrono::system_clock::now())); }
  bool isFuture(OSCDate now) const;
  /// The current time for the immediate tag, otherwise the instant the tag names.
  OSCDate date() const { return date(OSCDate(std::chrono::system_clock::now())); }
  OSCDate date(OSCDate now) const;
  /// Seconds from now until the tag (positive when in the future); 0 for the immediate tag.
  double timeIntervalSinceNow() const;
  /// Seconds from `since` until the tag; 0 for the immediate tag.
  double timeInterval(OSCDate since) const;
  /// "1 (immediate)", or `rawValue` in decimal, followed by "-era:" and the era when not 0.
  std::string description() const;

  friend constexpr bool operator==(const OSCTimeTag&, const OSCTimeTag&) = default;
  friend constexpr auto operator<=>(const OSCTimeTag&, const OSCTimeTag&) = default;
};

}  // namespace tempik::osc
