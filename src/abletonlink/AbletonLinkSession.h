#pragma once

#include <memory>

#include "core/Executor.h"
#include "core/TempoSession.h"

namespace tempik::abletonlink {

/// The Ableton Link session on the local network, followed and never changed: tempik only
/// reads the session's tempo and never commits a state, so neither joining nor following
/// moves the DJ's tempo. Link runs (and sends) only while joined: each join makes a fresh
/// Link instance and leave() destroys it.
///
/// Runs on the executor it is given: create, join, leave and destroy it there. Link calls
/// back on threads of its own; those callbacks only post a nudge to the executor, which then
/// reads the session's state through Link's thread-safe calls. leave() waits for Link's
/// threads to stop; a nudge still queued then finds no membership and does nothing.
class AbletonLinkSession final : public core::TempoSession {
 public:
  /// The tempo of tempik's own session while it is alone (Link needs one).
  static constexpr double ownTempo = 120.0;

  explicit AbletonLinkSession(std::shared_ptr<core::Executor> executor);
  ~AbletonLinkSession() override;

  AbletonLinkSession(const AbletonLinkSession&) = delete;
  AbletonLinkSession& operator=(const AbletonLinkSession&) = delete;

  void join(ChangeHandler onChange) override;
  void leave() override;

 private:
  struct Membership;
  std::shared_ptr<core::Executor> executor_;
  std::shared_ptr<Membership> membership_;
};

}  // namespace tempik::abletonlink
