#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "core/Executor.h"

namespace tempik::fakes {

/// A real serial executor on a thread of its own, standing in for the UI thread in tests
/// that run in real time. The mutex guards the queues, which other threads post to.
/// Destruction stops the thread; jobs and timers left over are dropped on it.
class ThreadExecutor final : public core::Executor {
 public:
  ThreadExecutor() : thread_([this] { run(); }) {}
  ~ThreadExecutor() override {
    {
      const std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
  }
  ThreadExecutor(const ThreadExecutor&) = delete;
  ThreadExecutor& operator=(const ThreadExecutor&) = delete;

  void post(std::function<void()> job) override {
    {
      const std::lock_guard lock(mutex_);
      ready_.push_back(std::move(job));
    }
    wake_.notify_one();
  }

  [[nodiscard]] std::unique_ptr<core::ScheduledJob> postAfter(
      std::chrono::steady_clock::duration delay, std::function<void()> job) override {
    auto timer = std::make_shared<Timer>(std::move(job));
    {
      const std::lock_guard lock(mutex_);
      timers_.emplace(std::pair{std::chrono::steady_clock::now() + delay, nextTimer_++}, timer);
    }
    wake_.notify_one();
    return std::make_unique<Handle>(timer);
  }

  /// Runs work on the executor's thread and waits for its result.
  template <typename Work>
  auto call(Work work) -> decltype(work()) {
    std::packaged_task<decltype(work())()> task(std::move(work));
    auto result = task.get_future();
    post([&task] { task(); });
    return result.get();
  }

 private:
  // Touched only on the executor's thread: timers are made, fired and cancelled there.
  struct Timer {
    explicit Timer(std::function<void()> job) : job(std::move(job)) {}
    std::function<void()> job;
  };

  class Handle final : public core::ScheduledJob {
   public:
    explicit Handle(std::weak_ptr<Timer> timer) : timer_(std::move(timer)) {}
    ~Handle() override { cancel(); }
    void cancel() override {
      if (auto timer = timer_.lock()) auto job = std::exchange(timer->job, {});
    }

   private:
    std::weak_ptr<Timer> timer_;
  };

  void run() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
      std::function<void()> job;
      if (!ready_.empty()) {
        job = std::move(ready_.front());
        ready_.pop_front();
      } else if (!timers_.empty() &&
                 timers_.begin()->first.first <= std::chrono::steady_clock::now()) {
        job = std::exchange(timers_.extract(timers_.begin()).mapped()->job, {});
      } else if (timers_.empty()) {
        wake_.wait(lock);
        continue;
      } else {
        wake_.wait_until(lock, timers_.begin()->first.first);
        continue;
      }
      lock.unlock();
      if (job) job();
      job = nullptr;
      lock.lock();
    }
    auto ready = std::move(ready_);
    auto timers = std::move(timers_);
    lock.unlock();
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> ready_;
  std::multimap<std::pair<std::chrono::steady_clock::time_point, std::uint64_t>,
                std::shared_ptr<Timer>>
      timers_;
  std::uint64_t nextTimer_ = 0;
  bool stopping_ = false;
  std::thread thread_;  // last: starts once everything above is in place
};

}  // namespace tempik::fakes
