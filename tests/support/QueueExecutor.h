#pragma once

#include <memory>
#include <utility>

#include "core/Executor.h"
#include "net/SerialQueue.h"

namespace tempik::fakes {

/// The controller's executor on a serial queue of its own, standing in for the UI thread in
/// tests and benchmarks that run in real time. Any thread may post; call() runs work there and
/// waits for its result.
class QueueExecutor final : public core::Executor {
 public:
  void post(std::function<void()> job) override { queue_->async(std::move(job)); }

  [[nodiscard]] std::unique_ptr<core::ScheduledJob> postAfter(
      std::chrono::steady_clock::duration delay, std::function<void()> job) override {
    struct Job final : core::ScheduledJob {
      net::OneShotTimer timer;
      void cancel() override { timer.cancel(); }
    };
    auto scheduled = std::make_unique<Job>();
    scheduled->timer = queue_->after(delay, std::move(job));
    return scheduled;
  }

  template <class Work>
  auto call(Work work) {
    return queue_->sync(work);
  }

 private:
  std::shared_ptr<net::SerialQueue> queue_ = net::SerialQueue::create("test.ui");
};

}  // namespace tempik::fakes
