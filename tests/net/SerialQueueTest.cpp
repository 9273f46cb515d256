#include "net/SerialQueue.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <barrier>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

#include "net/ReadinessSources.h"
#include "net/WorkerPool.h"

namespace tempik::net {
namespace {

using namespace std::chrono_literals;

TEST(SerialQueue, RunsJobsOneAtATimeInTheOrderEachThreadQueuedThem) {
  auto queue = SerialQueue::create("order");
  std::atomic<int> running{0};
  bool overlapped = false;
  std::vector<int> seen;  // touched on the queue only
  std::vector<std::thread> producers;
  for (int producer = 0; producer < 4; ++producer) {
    producers.emplace_back([&, producer] {
      for (int i = 0; i < 500; ++i) {
        queue->async([&, value = producer * 1000 + i] {
          if (running.fetch_add(1) != 0) overlapped = true;
          seen.push_back(value);
          running.fetch_sub(1);
        });
        if (i % 100 == 0) queue->sync([] {});  // mix waiting callers in
      }
    });
  }
  for (auto& producer : producers) producer.join();
  queue->sync([&] {
    EXPECT_FALSE(overlapped);
    ASSERT_EQ(seen.size(), 2000u);
    std::vector<int> last(4, -1);
    for (int value : seen) {
      EXPECT_GT(value % 1000, last[value / 1000]);
      last[value / 1000] = value % 1000;
    }
  });
}

TEST(SerialQueue, SyncFromTheQueueItselfRunsInlineAndKnowsWhereItRuns) {
  auto queue = SerialQueue::create("inline");
  auto other = SerialQueue::create("other");
  EXPECT_FALSE(queue->isCurrent());
  const int result = queue->sync([&] {
    EXPECT_TRUE(queue->isCurrent());
    EXPECT_FALSE(other->isCurrent());
    // Nested: inline on the same queue, and the outer queue is still "current" inside another.
    other->sync([&] { EXPECT_TRUE(queue->isCurrent() && other->isCurrent()); });
    return queue->sync([] { return 42; });
  });
  EXPECT_EQ(result, 42);
  EXPECT_EQ(queue->label(), "inline");
}

TEST(SerialQueue, WaitersNeverNeedAFreePoolThread) {
  // Both pool threads are held by jobs that wait for a third queue with work already queued;
  // the waiters run that queue themselves.
  auto first = SerialQueue::create("first");
  auto second = SerialQueue::create("second");
  auto target = SerialQueue::create("target");
  std::barrier bothHeld(3);
  std::atomic<int> done{0};
  for (auto& holder : {first, second}) {
    holder->async([&] {
      bothHeld.arrive_and_wait();
      bothHeld.arrive_and_wait();
      target->sync([&] { ++done; });
    });
  }
  bothHeld.arrive_and_wait();
  target->async([&] { ++done; });  // its drain cannot get a pool thread now
  bothHeld.arrive_and_wait();
  first->sync([] {});
  second->sync([] {});
  target->sync([] {});
  EXPECT_EQ(done.load(), 3);
}

TEST(SerialQueue, DelayedJobsRunOnceUnlessCancelled) {
  auto queue = SerialQueue::create("timers");
  std::promise<std::chrono::steady_clock::duration> fired;
  std::atomic<int> cancelledRuns{0};
  const auto start = std::chrono::steady_clock::now();
  auto kept = queue->after(50ms, [&] {
    EXPECT_TRUE(queue->isCurrent());
    fired.set_value(std::chrono::steady_clock::now() - start);
  });
  auto cancelled = queue->after(10ms, [&] { ++cancelledRuns; });
  cancelled.cancel();
  {
    auto dropped = queue->after(10ms, [&] { ++cancelledRuns; });
  }
  std::promise<void> uncancellable;
  queue->asyncAfter(20ms, [&] { uncancellable.set_value(); });

  EXPECT_TRUE(kept.isPending());
  auto future = fired.get_future();
  ASSERT_EQ(future.wait_for(10s), std::future_status::ready);
  EXPECT_GE(future.get(), 50ms);
  EXPECT_FALSE(kept.isPending());
  ASSERT_EQ(uncancellable.get_future().wait_for(10s), std::future_status::ready);
  // Both cancelled timers were due long before the one that fired.
  queue->sync([] {});
  EXPECT_EQ(cancelledRuns.load(), 0);
}

TEST(SerialQueue, CancellingFromTheQueueStopsAJobAlreadyDue) {
  auto queue = SerialQueue::create("cancel on queue");
  bool ran = false;
  OneShotTimer timer;
  std::promise<void> due;
  queue->sync([&] { timer = queue->after(1ms, [&] { ran = true; }); });
  queue->async([&] {
    std::this_thread::sleep_for(20ms);  // the timer comes due while the queue is busy
    timer.cancel();
  });
  queue->asyncAfter(40ms, [&] { due.set_value(); });
  ASSERT_EQ(due.get_future().wait_for(10s), std::future_status::ready);
  queue->sync([&] { EXPECT_FALSE(ran); });
}

TEST(ReadinessSources, ReportBytesAvailableEndOfStreamAndWritability) {
  int pair[2];
  ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
  UniqueFd peer(pair[1]);
  auto queue = SerialQueue::create("sources");
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::size_t> reports;
  int writable = 0;
  std::unique_ptr<ReadinessSources> sources;
  queue->sync([&] {
    sources = std::make_unique<ReadinessSources>(
        queue, UniqueFd(pair[0]),
        [&](std::size_t available) {
          std::lock_guard lock(mutex);
          reports.push_back(available);
          sources->suspendRead();  // one report per resume
          changed.notify_all();
        },
        [&] {
          std::lock_guard lock(mutex);
          ++writable;
          sources->suspendWrite();
          changed.notify_all();
        });
    EXPECT_TRUE(sources->isReadSuspended());
    sources->resumeWrite();
  });
  auto waitFor = [&](auto condition) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, 10s, condition);
  };
  ASSERT_TRUE(waitFor([&] { return writable == 1; }));

  ASSERT_EQ(::write(peer.get(), "12345", 5), 5);
  queue->sync([&] { sources->resumeRead(); });
  ASSERT_TRUE(waitFor([&] { return reports.size() == 1; }));
  EXPECT_EQ(reports[0], 5u);

  char drained[5];
  ASSERT_EQ(::read(sources->descriptor(), drained, 5), 5);
  peer.reset();
  queue->sync([&] { sources->resumeRead(); });
  ASSERT_TRUE(waitFor([&] { return reports.size() == 2; }));
  EXPECT_EQ(reports[1], 0u);  // end of stream
  queue->sync([&] { sources.reset(); });
}

TEST(WorkerPool, RunsBlockingJobsBesideEachOther) {
  std::barrier meet(2);  // each job waits for the other: they must run at the same time
  std::promise<void> first, second;
  WorkerPool::post([&] {
    meet.arrive_and_wait();
    first.set_value();
  });
  WorkerPool::post([&] {
    meet.arrive_and_wait();
    second.set_value();
  });
  EXPECT_EQ(first.get_future().wait_for(10s), std::future_status::ready);
  EXPECT_EQ(second.get_future().wait_for(10s), std::future_status::ready);
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
  auto queue = SerialQueue::create("idle");
  auto pending = queue->after(1h, [] {});  // an armed timer is no reason to wake
  queue->sync([] {});
  const long before = reactorWakeUps();
  std::this_thread::sleep_for(300ms);  // the measurement window, not synchronisation
  EXPECT_LE(reactorWakeUps() - before, 2);
}

}  // namespace
}  // namespace tempik::net
