#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace tempik::fakes {

using namespace std::chrono_literals;

/// What callbacks on other threads saw, for the test's thread to read and to wait on. Any
/// thread may call every member.
template <class Log>
class Recorder {
 public:
  template <class Change>
  void change(Change apply) {
    {
      const std::lock_guard lock(mutex_);
      apply(log_);
    }
    changed_.notify_all();
  }
  [[nodiscard]] Log log() const {
    const std::lock_guard lock(mutex_);
    return log_;
  }
  /// Waits until done(log) holds; false when the deadline passed first.
  bool waitUntil(const std::function<bool(const Log&)>& done,
                 std::chrono::steady_clock::duration deadline = 30s) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, deadline, [&] { return done(log_); });
  }

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  Log log_;
};

}  // namespace tempik::fakes
