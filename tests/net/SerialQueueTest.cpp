// The work queues everything below the user interface runs on.
#include "net/SerialQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

#include "support/ProcessResources.h"

namespace tempik::net {
namespace {

using namespace std::chrono_literals;

TEST(SerialQueue, WaitersNeverNeedAFreePoolThread) {
  // Both pool threads are held by jobs that wait for a third queue with work already queued;
  // the waiters run that queue themselves.
  auto first = SerialQueue::create("first"), second = SerialQueue::create("second");
  auto target = SerialQueue::create("target");
  // Promises, not std::barrier: MinGW's libstdc++ 12 loses a barrier's wake-ups.
  std::promise<void> held[2], release;
  const std::shared_future<void> released = release.get_future().share();
  std::atomic<int> done{0};
  for (int i = 0; i < 2; ++i) {
    (i == 0 ? first : second)->async([&, i] {
      held[i].set_value();
      released.wait();
      target->sync([&] { ++done; });
    });
  }
  for (auto& each : held) each.get_future().wait();
  target->async([&] { ++done; });  // its drain cannot get a pool thread now
  release.set_value();
  first->sync([] {}), second->sync([] {}), target->sync([] {});
  EXPECT_EQ(done.load(), 3);
}

TEST(SerialQueue, DelayedJobsRunOnceAfterTheirDelayUnlessCancelled) {
  auto queue = SerialQueue::create("timers");
  std::promise<std::chrono::steady_clock::duration> fired;
  std::atomic<int> cancelledRuns{0};
  const auto start = std::chrono::steady_clock::now();
  auto kept =
      queue->after(50ms, [&] { fired.set_value(std::chrono::steady_clock::now() - start); });
  {
    const auto dropped = queue->after(10ms, [&] { ++cancelledRuns; });
  }  // cancelled by its end
  OneShotTimer dueWhileBusy;
  queue->async([&] {
    dueWhileBusy = queue->after(1ms, [&] { ++cancelledRuns; });
    std::this_thread::sleep_for(20ms);  // it comes due while the queue is busy, then is cancelled
    dueWhileBusy.cancel();
  });
  auto future = fired.get_future();
  ASSERT_EQ(future.wait_for(10s), std::future_status::ready);
  EXPECT_GE(future.get(), 50ms);
  EXPECT_FALSE(kept.isPending());
  queue->sync([] {});
  EXPECT_EQ(cancelledRuns.load(), 0);
}

/// Context switches of this process's threads that sleep in the reactor.
long reactorWakeUps() {
  long total = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream comm(entry.path() / "comm");
    std::string name;
    std::getline(comm, name);
    if (name != "tempik-queues") continue;
    std::ifstream status(entry.path() / "status");
    for (std::string line; std::getline(status, line);) {
      if (line.rfind("voluntary_ctxt_switches:", 0) == 0) total += std::stol(line.substr(24));
    }
  }
  return total;
}

TEST(SerialQueue, IdleThreadsStayAsleep) {
  if (!fakes::procIsReadable) GTEST_SKIP() << "wake-ups are counted in Linux's /proc";
  auto queue = SerialQueue::create("idle");
  auto pending = queue->after(1h, [] {});  // an armed timer is no reason to wake
  queue->sync([] {});
  const long before = reactorWakeUps();
  std::this_thread::sleep_for(300ms);  // the measurement window, not synchronisation
  EXPECT_LE(reactorWakeUps() - before, 2);
}

}  // namespace
}  // namespace tempik::net
