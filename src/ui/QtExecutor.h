#pragma once

#include <QObject>
#include <chrono>
#include <functional>
#include <memory>

#include "core/Executor.h"

namespace tempik::ui {

/// The controller's executor on Qt's main thread: jobs run from the event loop, one at a
/// time, in the order they were posted.
///
/// post() may be called from any thread (it queues an invocation on the main thread);
/// postAfter() and the handles it returns are used on the main thread only. A handle
/// that is cancelled or destroyed stops its timer, so the job never runs and nothing wakes
/// the event loop for it.
class QtExecutor final : public core::Executor {
 public:
  QtExecutor();
  ~QtExecutor() override;

  QtExecutor(const QtExecutor&) = delete;
  QtExecutor& operator=(const QtExecutor&) = delete;

  void post(std::function<void()> job) override;

  [[nodiscard]] std::unique_ptr<core::ScheduledJob> postAfter(
      std::chrono::steady_clock::duration delay, std::function<void()> job) override;

 private:
  // Jobs are queued against this object; jobs still queued when it goes are dropped.
  std::unique_ptr<QObject> context_;
};

}  // namespace tempik::ui
