#pragma once

#include <memory>

namespace tempik::net {

/// A job that runs once after a delay on a serial queue (SerialQueue::after). Cancelling it or
/// destroying the handle makes sure the job never starts afterwards; cancelling from the
/// queue itself is exact, from another thread it cannot stop a job that has already started.
/// Any thread may cancel.
class OneShotTimer {
 public:
  struct State;

  OneShotTimer() = default;
  explicit OneShotTimer(std::shared_ptr<State> state) : state_(std::move(state)) {}
  OneShotTimer(OneShotTimer&&) noexcept = default;
  OneShotTimer& operator=(OneShotTimer&& other) noexcept {
    if (this != &other) {
      cancel();
      state_ = std::move(other.state_);
    }
    return *this;
  }
  OneShotTimer(const OneShotTimer&) = delete;
  OneShotTimer& operator=(const OneShotTimer&) = delete;
  ~OneShotTimer() { cancel(); }

  /// Idempotent; an empty handle does nothing.
  void cancel() noexcept;

  /// True until the job has started or the timer was cancelled.
  bool isPending() const noexcept;

 private:
  friend class SerialQueue;
  static void arm(const std::shared_ptr<State>& state);

  std::shared_ptr<State> state_;
};

}  // namespace tempik::net
