#include "abletonlink/AbletonLinkSession.h"

#include <ableton/Link.hpp>
#include <atomic>
#include <utility>

namespace tempik::abletonlink {

// What Link's threads hold: it owns no Link instance, so that Link is never destroyed on its
// own thread. Nudges coalesce: one report covers every change before it runs.
class AbletonLinkSession::Relay : public std::enable_shared_from_this<Relay> {
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

// The Link instance and whom to tell while joined. Only the executor touches it.
struct AbletonLinkSession::Membership {
  explicit Membership(double tempo) : link(tempo) {}

  ableton::Link link;
  ChangeHandler onChange;

  void report() const {
    onChange(core::TempoSessionState{link.captureAppSessionState().tempo(), link.numPeers()});
  }
};

AbletonLinkSession::AbletonLinkSession(std::shared_ptr<core::Executor> executor)
    : executor_(std::move(executor)) {}

AbletonLinkSession::~AbletonLinkSession() = default;

void AbletonLinkSession::join(ChangeHandler onChange) {
  if (membership_) return;
  membership_ = std::make_shared<Membership>(sessionTempo_);
  membership_->onChange = std::move(onChange);
  // Reports on the executor, and only while the membership lives.
  auto relay = std::make_shared<Relay>(executor_, [weak = std::weak_ptr(membership_)] {
    if (const auto membership = weak.lock()) membership->report();
  });
  membership_->link.setNumPeersCallback([relay](std::size_t) { relay->nudge(); });
  membership_->link.setTempoCallback([relay](double) { relay->nudge(); });
  auto enable = [weak = std::weak_ptr(membership_), relay] {
    if (const auto membership = weak.lock()) membership->link.enable(true);
    relay->nudge();
  };
  using Clock = std::chrono::steady_clock;
  const Clock::duration sinceLeft = leftAt_ ? Clock::now() - *leftAt_ : rejoinGap;
  if (sinceLeft < rejoinGap) {
    delayedEnable_ = executor_->postAfter(rejoinGap - sinceLeft, std::move(enable));
  } else {
    enable();
  }
}

// Destroying Link disables it (its peers hear that it left) and stops its threads.
void AbletonLinkSession::leave() {
  if (!membership_) return;
  sessionTempo_ = membership_->link.captureAppSessionState().tempo();
  delayedEnable_.reset();
  membership_.reset();
  leftAt_ = std::chrono::steady_clock::now();
}

}  // namespace tempik::abletonlink
