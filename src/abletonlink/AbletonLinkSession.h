#pragma once

#include <chrono>
#include <memory>
#include <optional>

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
/// the session's tempo when tempik last left. A peer that tempik leaves alone founds its
/// session anew at that moment, so a join within rejoinGap of the last leave waits until the
/// gap is over: that peer's session is then the older one and keeps its tempo, even one it
/// changed meanwhile. Only a first join founds with ownTempo.
///
/// Runs on the executor it is given: create, join, leave and destroy it there. Link calls
/// back on threads of its own; those callbacks only post a nudge to the executor, which then
/// reads the session through Link's thread-safe calls. Destroying it waits for Link's threads
/// to stop; a nudge still queued then finds nothing and does nothing.
class AbletonLinkSession final : public core::TempoSession {
 public:
  /// The tempo of tempik's own session on its first join (Link needs one).
  static constexpr double ownTempo = 120.0;
  /// Longer than the half second within which Link lets a session's id, not its age, decide.
  static constexpr std::chrono::milliseconds rejoinGap{600};

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
  std::optional<std::chrono::steady_clock::time_point> leftAt_;
  std::unique_ptr<core::ScheduledJob> delayedEnable_;
};

}  // namespace tempik::abletonlink
