#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace tempik::core {

/// A delayed job that has not run yet. Cancelling it, or destroying the handle, makes sure
/// it never runs. Used on the executor's own thread only.
class ScheduledJob {
 public:
  virtual ~ScheduledJob() = default;
  virtual void cancel() = 0;
};

/// The user interface's serial executor: jobs run one at a time on one thread, in the
/// order they were posted. post() may be called from any thread; postAfter() only from
/// the executor's own thread.
class Executor {
 public:
  virtual ~Executor() = default;

  virtual void post(std::function<void()> job) = 0;

  /// Runs job once, after delay on the monotonic clock, unless the handle is cancelled or
  /// destroyed first.
  [[nodiscard]] virtual std::unique_ptr<ScheduledJob> postAfter(
      std::chrono::steady_clock::duration delay, std::function<void()> job) = 0;
};

}  // namespace tempik::core
