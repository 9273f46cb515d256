#include "midi/ArrivalClock.h"

#include <algorithm>

namespace tempik::midi {

ArrivalClock::TimePoint ArrivalClock::stamp(double secondsSincePrevious, TimePoint now) {
  TimePoint at = now;
  if (previous_) {
    // Never before the previous message, whatever the system says.
    const auto spaced =
        *previous_ + std::chrono::duration_cast<TimePoint::duration>(
                         std::chrono::duration<double>(std::max(secondsSincePrevious, 0.0)));
    if (spaced <= now && now - spaced <= maximumLag) at = spaced;
  }
  previous_ = at;
  return at;
}

}  // namespace tempik::midi
