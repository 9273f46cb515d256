#include "midi/ArrivalClock.h"

namespace tempik::midi {

ArrivalClock::TimePoint ArrivalClock::stamp(double secondsSincePrevious, TimePoint now) {
  TimePoint at = now;
  if (previous_) {
    const auto spaced = *previous_ + std::chrono::duration_cast<TimePoint::duration>(
                                         std::chrono::duration<double>(secondsSincePrevious));
    if (spaced <= now && now - spaced <= maximumLag) at = spaced;
  }
  previous_ = at;
  return at;
}

}  // namespace tempik::midi
