#pragma once

#include <chrono>

namespace tempik::net {

/// How long a connection may stay silent before the system gives it up. A peer that vanishes
/// without a word (cable pulled, console switched off, Wi-Fi gone) otherwise leaves a TCP
/// connection open for many minutes: unacknowledged data is retried for about a quarter of an
/// hour, and an idle connection is never checked at all. With these limits the socket reports a
/// disconnect with an error after a few seconds of silence instead. A plain value; any thread.
struct SilenceLimits {
  /// Data sent and not acknowledged for this long ends the connection.
  std::chrono::milliseconds unacknowledgedTimeout{5000};
  /// An idle connection is probed after this long without traffic ...
  std::chrono::seconds keepAliveIdle{5};
  /// ... then again at this interval ...
  std::chrono::seconds keepAliveInterval{1};
  /// ... and ends after this many probes go unanswered. (Linux ends it sooner when the first
  /// probe is still unanswered once unacknowledgedTimeout has passed since the peer was heard.)
  int keepAliveProbes = 3;

  bool operator==(const SilenceLimits&) const = default;
};

}  // namespace tempik::net
