#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>

#include "net/OneShotTimer.h"

namespace tempik::net {

/// A labelled serial work queue: jobs run one at a time, in the order they were queued, on the
/// facility's threads. Every member may be called from any thread.
///
/// sync() runs the job on the calling thread whenever it can (the queue is idle, or the caller
/// already runs on it), so a thread that waits for a queue never needs a free pool thread to
/// make progress. It blocks only while another thread runs the queue.
class SerialQueue : public std::enable_shared_from_this<SerialQueue> {
 public:
  using Job = std::function<void()>;
  using Duration = std::chrono::steady_clock::duration;

  static std::shared_ptr<SerialQueue> create(std::string label);

  SerialQueue(const SerialQueue&) = delete;
  SerialQueue& operator=(const SerialQueue&) = delete;
  ~SerialQueue();

  const std::string& label() const noexcept { return label_; }

  /// Queues job and returns at once.
  void async(Job job);

  /// Runs job on the queue and waits for it; inline when the caller already runs on the queue.
  template <class F>
  std::invoke_result_t<F&> sync(F&& job) {
    using Result = std::invoke_result_t<F&>;
    if constexpr (std::is_void_v<Result>) {
      runSync([&job] { job(); });
    } else {
      std::optional<Result> result;
      runSync([&job, &result] { result.emplace(job()); });
      return std::move(*result);
    }
  }

  /// Runs job once after delay, unless the returned timer is cancelled or destroyed first.
  [[nodiscard]] OneShotTimer after(Duration delay, Job job);

  /// Runs job once after delay; cannot be cancelled.
  void asyncAfter(Duration delay, Job job);

  /// True while the calling thread runs a job of this queue (also from inside a job of
  /// another queue that this one waits for with sync()).
  bool isCurrent() const noexcept;

 private:
  friend class ReadinessSources;
  friend class OneShotTimer;

  explicit SerialQueue(std::string label);

  /// For the facility's event sources, called on a pool thread outside any job: runs job right
  /// here when the queue is idle, otherwise queues it.
  void dispatchEvent(Job job);

  void runSync(const std::function<void()>& job);
  void runJobs(std::unique_lock<std::mutex>& lock, std::size_t budget);
  void scheduleDrain(std::unique_lock<std::mutex>& lock);
  void drain();

  const std::string label_;
  // Guards the job list and who runs the queue; held only to move jobs in and out.
  std::mutex mutex_;
  std::condition_variable idleOrDone_;
  std::deque<Job> jobs_;
  bool running_ = false;
  bool drainScheduled_ = false;
};

}  // namespace tempik::net
