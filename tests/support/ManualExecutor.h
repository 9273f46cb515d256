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
/// monotonic clock that moves only when the test advances it. post() may be called from any
/// thread (the mutex guards the posted queue only); everything else belongs to the test's
/// thread.
class ManualExecutor final : public core::Executor {
 public:
  using Duration = std::chrono::steady_clock::duration;

  ~ManualExecutor() override {
    // Jobs may own objects whose destructors cancel timers here: empty the queues first.
    std::deque<std::function<void()>> ready;
    {
      const std::lock_guard lock(mutex_);
      ready.swap(ready_);
    }
    auto timers = std::move(timers_);
    timers_.clear();
  }

  /// Virtual time since the executor was made.
  [[nodiscard]] Duration now() const { return now_; }

  void post(std::function<void()> job) override {
    const std::lock_guard lock(mutex_);
    ready_.push_back(std::move(job));
  }

  [[nodiscard]] std::unique_ptr<core::ScheduledJob> postAfter(Duration delay,
                                                              std::function<void()> job) override {
    auto timer = std::make_shared<Timer>();
    timer->job = std::move(job);
    timers_.emplace(std::pair{now_ + delay, nextTimer_++}, timer);
    return std::make_unique<Handle>(timer);
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

  /// Moves time forward by `duration`, firing each timer at its own due time (in due order)
  /// and running the posted jobs after each.
  void advanceBy(Duration duration) {
    const Duration target = now_ + duration;
    runReady();
    while (!timers_.empty() && timers_.begin()->first.first <= target) {
      auto entry = timers_.extract(timers_.begin());
      now_ = entry.key().first;
      if (auto job = std::exchange(entry.mapped()->job, {})) job();
      runReady();
    }
    now_ = target;
  }

  /// Timers neither fired nor cancelled.
  [[nodiscard]] std::size_t pendingTimers() const {
    std::size_t pending = 0;
    for (const auto& [due, timer] : timers_) pending += timer->job ? 1 : 0;
    return pending;
  }

 private:
  struct Timer {
    std::function<void()> job;  // empty once fired or cancelled
  };

  class Handle final : public core::ScheduledJob {
   public:
    explicit Handle(std::weak_ptr<Timer> timer) : timer_(std::move(timer)) {}
    ~Handle() override { cancel(); }
    void cancel() override {
      if (auto timer = timer_.lock()) {
        auto job = std::exchange(timer->job, {});  // destroyed here, after the field is empty
      }
    }

   private:
    std::weak_ptr<Timer> timer_;
  };

  std::mutex mutex_;
  std::deque<std::function<void()>> ready_;
  std::multimap<std::pair<Duration, std::uint64_t>, std::shared_ptr<Timer>> timers_;
  std::uint64_t nextTimer_ = 0;
  Duration now_{};
};

}  // namespace tempik::fakes
