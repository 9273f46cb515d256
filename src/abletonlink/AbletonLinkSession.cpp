#include "abletonlink/AbletonLinkSession.h"

#include <ableton/Link.hpp>
#include <atomic>
#include <utility>

namespace tempik::abletonlink {

// One join: the Link instance and whom to tell. Only the executor touches it.
struct AbletonLinkSession::Membership {
  ChangeHandler onChange;
  std::unique_ptr<ableton::Link> link;

  void report() const {
    onChange(core::TempoSessionState{link->captureAppSessionState().tempo(), link->numPeers()});
  }
};

namespace {

// What Link's threads hold: it owns no Link instance, so that Link is never destroyed on its
// own thread. Nudges coalesce: one report covers every change before it runs.
class Relay : public std::enable_shared_from_this<Relay> {
 public:
  Relay(std::shared_ptr<core::Executor> executor, std::function<void()> report)
      : executor_(std::move(executor)), report_(std::move(report)) {}

  // Any thread.
  void nudge() {
    if (pending_.exchange(true)) return;
    executor_->post([self = shared_from_this()] {
      self->pending_ = false;
      self->report_();
    });
  }

 private:
  const std::shared_ptr<core::Executor> executor_;
  const std::function<void()> report_;
  std::atomic<bool> pending_{false};
};

}  // namespace

AbletonLinkSession::AbletonLinkSession(std::shared_ptr<core::Executor> executor)
    : executor_(std::move(executor)) {}

AbletonLinkSession::~AbletonLinkSession() {
  leave();
}

void AbletonLinkSession::join(ChangeHandler onChange) {
  if (membership_) return;
  auto membership = std::make_shared<Membership>();
  membership->onChange = std::move(onChange);
  membership->link = std::make_unique<ableton::Link>(ownTempo);
  // Reports on the executor, and only while this membership lives.
  auto relay = std::make_shared<Relay>(executor_, [weak = std::weak_ptr(membership)] {
    if (const auto member = weak.lock()) member->report();
  });
  membership->link->setNumPeersCallback([relay](std::size_t) { relay->nudge(); });
  membership->link->setTempoCallback([relay](double) { relay->nudge(); });
  // Enabling founds a fresh session of our own, younger than any running one, which Link
  // then leaves for the running session and its tempo.
  membership->link->enable(true);
  membership_ = std::move(membership);
  relay->nudge();
}

void AbletonLinkSession::leave() {
  // Destroying Link disables it (its peers hear that it left) and stops its threads.
  membership_.reset();
}

}  // namespace tempik::abletonlink
