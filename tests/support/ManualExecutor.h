#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

#include "core/Executor.h"

namespace tempik::fakes {

/// An executor that runs only when the test says so, on the test's thread, with a virtual
/// monotonic clock that moves only when the test advances it. Any thread may post (the mutex
/// guards the posted jobs); everything else belongs to the test's thread.
class ManualExecutor final : public core::Executor {
 public:
  using Duration = std::chrono::steady_clock::duration;

  ~ManualExecutor() override {
    // Jobs may own objects whose destructors cancel timers here: empty the queues first.
    auto ready = std::exchange(ready_, {});
    auto timers = std::exchange(timers_, {});
  }

  /// Virtual time since the executor was made.
  [[nodiscard]] Duration now() const { return now_; }

  void post(std::function<void()> job) override {
    const std::lock_guard lock(mutex_);
    ready_.push_back(std::move(job));
  }

  [[nodiscard]] std::unique_ptr<core::ScheduledJob> postAfter(Duration delay,
                                                              std::function<void()> job) override {
    struct Handle final : core::ScheduledJob {
      explicit Handle(std::weak_ptr<std::function<void()>> job) : job(std::move(job)) {}
      ~Handle() override { cancel(); }
      void cancel() override {
        if (auto pending = job.lock()) auto dropped = std::exchange(*pending, {});
      }
      std::weak_ptr<std::function<void()>> job;
    };
    auto shared = std::make_shared<std::function<void()>>(std::move(job));
    timers_.emplace(std::pair{now_ + delay, nextTimer_++}, shared);
    return std::make_unique<Handle>(shared);
  }

  /// Runs posted jobs, including those they post, until none is left. Time stands still.
  void runReady() {
    for (;;) {
      std::function<void()> job;
      {
        const std::lock_guard lock(mutex_);
        if (ready_.empty()) return;
        job = std::move(ready_.front());
        ready_.pop_front();
      }
      job();
    }
  }

  /// Moves time forward, firing each timer at its own due time, in order, and running the
  /// posted jobs after each.
  void advanceBy(Duration duration) {
    const Duration target = now_ + duration;
    runReady();
    while (!timers_.empty() && timers_.begin()->first.first <= target) {
      auto entry = timers_.extract(timers_.begin());
      now_ = entry.key().first;
      if (auto job = std::exchange(*entry.mapped(), {})) job();
      runReady();
    }
    now_ = target;
  }

  /// Timers neither fired nor cancelled.
  [[nodiscard]] std::size_t pendingTimers() const {
    std::size_t pending = 0;
    for (const auto& [due, job] : timers_) pending += *job ? 1 : 0;
    return pending;
  }

 private:
  std::mutex mutex_;
  std::deque<std::function<void()>> ready_;
  std::multimap<std::pair<Duration, std::uint64_t>, std::shared_ptr<std::function<void()>>> timers_;
  std::uint64_t nextTimer_ = 0;
  Duration now_{};
};

}  // namespace tempik::fakes
