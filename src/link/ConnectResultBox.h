#pragma once

#include <functional>
#include <mutex>
#include <optional>

#include "link/ConsoleTransport.h"
#include "net/OneShotTimer.h"

namespace tempik::link {

/// The one-shot outcome of one connection attempt, shared by the waiting connect and every
/// callback of the attempt (notifications, the decision timer, a failed start). The first
/// resume decides; later ones do nothing. Any thread.
class ConnectResultBox {
 public:
  /// Nothing when connected, otherwise why not.
  using Result = std::optional<LinkDown>;

  explicit ConnectResultBox(std::function<void(Result)> continuation)
      : continuation_(std::move(continuation)) {}

  /// True when this call decided the attempt.
  bool resume(Result result) {
    net::OneShotTimer deadline;  // cancelled outside the lock, as it goes out of scope
    std::lock_guard lock(mutex_);
    if (!continuation_) return false;
    deadline = std::move(deadline_);
    std::exchange(continuation_, nullptr)(std::move(result));
    return true;
  }

  /// The timer that decides the attempt if nothing else does; cancelled once decided.
  void setDeadline(net::OneShotTimer deadline) {
    std::unique_lock lock(mutex_);
    if (continuation_) deadline_ = std::move(deadline);
  }

 private:
  std::mutex mutex_;
  std::function<void(Result)> continuation_;
  net::OneShotTimer deadline_;
};

}  // namespace tempik::link
