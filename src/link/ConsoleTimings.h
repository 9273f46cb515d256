#pragma once

#include <chrono>

namespace tempik::link {

/// How long the console connection waits for what. The application runs with these defaults
/// and never changes them; tests shorten them so that they need not wait out real timers.
struct ConsoleTimings {
  /// The pause of the connection check loop, counted from the end of each attempt.
  std::chrono::milliseconds connectionCheckPause{5000};
  /// The wait after the last edit of the host address before reconnecting.
  std::chrono::milliseconds reconnectDelay{750};
  /// The gap between the two presses of the Effect key.
  std::chrono::milliseconds effectKeyGap{300};
  /// How long one connection attempt may take before it counts as failed.
  std::chrono::milliseconds connectTimeout{5000};
  /// How long a console that answers pings may leave one unanswered before the link counts
  /// as stalled and is reset.
  std::chrono::milliseconds pingWait{5000};
};

}  // namespace tempik::link
