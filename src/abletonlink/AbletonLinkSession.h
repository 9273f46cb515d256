#pragma once

#include <memory>

#include "core/Executor.h"
#include "core/TempoSession.h"

namespace tempik::abletonlink {

/// The Ableton Link session on the local network, followed and never changed: tempik only
/// reads the session's tempo and never commits a state, so following never moves the DJ's
/// tempo. Link exists only while joined: leaving destroys it, so that nothing of it sends or
/// even wakes up.
///
/// Joining founds a session of tempik's own for a moment, which Link leaves for the running
/// session when that is older (by more than half a second), taking its tempo. A session that
/// is not older (another peer that started at the same moment, or whose own session began
/// anew when tempik left it) may join tempik's instead and take on tempik's tempo: that is
/// the session's tempo when tempik last left, so rejoining hands the session back its own
/// tempo. Only a first join founds with ownTempo.
///
/// Runs on the executor it is given: create, join, leave and destroy it there. Link calls
/// back on threads of its own; those callbacks only post a nudge to the executor, which then
/// reads the session through Link's thread-safe calls. Destroying it waits for Link's threads
/// to stop; a nudge still queued then finds nothing and does nothing.
class AbletonLinkSession final : public core::TempoSession {
 public:
  /// The tempo of tempik's own session on its first join (Link needs one).
  static constexpr double ownTempo = 120.0;

  explicit AbletonLinkSession(std::shared_ptr<core::Executor> executor);
  ~AbletonLinkSession() override;

  AbletonLinkSession(const AbletonLinkSession&) = delete;
  AbletonLinkSession& operator=(const AbletonLinkSession&) = delete;

  void join(ChangeHandler onChange) override;
  void leave() override;

 private:
  class Relay;
  struct Membership;
  std::shared_ptr<core::Executor> executor_;
  std::shared_ptr<Membership> membership_;
  double sessionTempo_ = ownTempo;
};

}  // namespace tempik::abletonlink
