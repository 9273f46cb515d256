#pragma once

// A Link peer in the benchmark's own process.
#include <ableton/Link.hpp>
#include <chrono>
#include <cmath>
#include <optional>
#include <vector>

#include "support/Recorder.h"

namespace tempik::bench {

/// An Ableton Link peer in this process. Its tempo callback notes each tempo it hears of and
/// when. Link calls back on its own threads; the members are called from one other thread.
class SessionPeer {
 public:
  using Clock = std::chrono::steady_clock;

  explicit SessionPeer(double tempo) : link_(tempo) {
    link_.setNumPeersCallback(
        [this](std::size_t peers) { heard_.change([&](Heard& heard) { heard.peers = peers; }); });
    link_.setTempoCallback([this](double tempo) {
      const auto now = Clock::now();
      heard_.change([&](Heard& heard) { heard.tempi.push_back({tempo, now}); });
    });
    link_.enable(true);
  }

  /// Sets the session's tempo, for every peer in it.
  void commitTempo(double bpm) {
    auto state = link_.captureAppSessionState();
    state.setTempo(bpm, link_.clock().micros());
    link_.commitAppSessionState(state);
  }

  [[nodiscard]] bool waitForPeers(std::size_t count, Clock::duration deadline) const {
    return heard_.waitUntil([&](const Heard& heard) { return heard.peers >= count; }, deadline);
  }

  /// How many tempi the callback has heard of so far.
  [[nodiscard]] std::size_t tempiHeard() const { return heard_.log().tempi.size(); }

  /// When the callback heard of bpm (to a hundredth: Link sends a tempo as microseconds per
  /// beat), looking from tempo number `from` on; nothing when not by the deadline.
  [[nodiscard]] std::optional<Clock::time_point> waitForTempo(double bpm, std::size_t from,
                                                              Clock::duration deadline) const {
    std::optional<Clock::time_point> at;
    heard_.waitUntil(
        [&](const Heard& heard) {
          for (std::size_t i = from; i < heard.tempi.size(); ++i) {
            if (std::abs(heard.tempi[i].tempo - bpm) < 0.01) {
              at = heard.tempi[i].at;
              return true;
            }
          }
          return false;
        },
        deadline);
    return at;
  }

 private:
  struct Tempo {
    double tempo;
    Clock::time_point at;
  };
  struct Heard {
    std::size_t peers = 0;
    std::vector<Tempo> tempi;
  };

  fakes::Recorder<Heard> heard_;
  ableton::Link link_;  // last: destroyed first, which stops its callbacks
};

}  // namespace tempik::bench
