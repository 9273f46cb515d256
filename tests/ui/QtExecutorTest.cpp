#include "ui/QtExecutor.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QThread>
#include <algorithm>
#include <string>
#include <thread>
#include <vector>

namespace tempik::ui {
namespace {

using namespace std::chrono_literals;

TEST(QtExecutor, RunsPostsFromAnyThreadOnTheMainThreadInOrder) {
  QtExecutor executor;
  std::vector<int> order;
  std::vector<bool> onMainThread;
  const auto record = [&](int n) {
    return [&, n] {
      order.push_back(n);
      onMainThread.push_back(QThread::currentThread() == qApp->thread());
    };
  };
  executor.post(record(0));
  std::thread([&] {
    for (int n = 1; n <= 100; ++n) executor.post(record(n));
  }).join();
  EXPECT_TRUE(order.empty()) << "a post never runs inside the call";

  ASSERT_TRUE(QTest::qWaitFor([&] { return order.size() == 101; }, 5000));
  for (int n = 0; n <= 100; ++n) EXPECT_EQ(order[n], n);
  EXPECT_EQ(std::count(onMainThread.begin(), onMainThread.end(), false), 0);
}

TEST(QtExecutor, RunsADelayedJobAfterItsDelayUnlessCancelledOrDropped) {
  QtExecutor executor;
  std::vector<std::string> ran;
  const auto started = std::chrono::steady_clock::now();
  std::chrono::steady_clock::duration waited{};
  auto kept = executor.postAfter(60ms, [&] {
    waited = std::chrono::steady_clock::now() - started;
    ran.push_back("kept");
  });
  auto cancelled = executor.postAfter(20ms, [&] { ran.push_back("cancelled"); });
  auto dropped = executor.postAfter(20ms, [&] { ran.push_back("dropped"); });
  cancelled->cancel();
  dropped.reset();

  ASSERT_TRUE(QTest::qWaitFor([&] { return !ran.empty(); }, 5000));
  EXPECT_EQ(ran, std::vector<std::string>{"kept"});
  EXPECT_GE(waited, 60ms);
}

TEST(QtExecutor, LetsAJobDropItsOwnHandle) {
  QtExecutor executor;
  std::unique_ptr<core::ScheduledJob> handle;
  bool ran = false;
  handle = executor.postAfter(1ms, [&] {
    handle.reset();
    ran = true;
  });
  ASSERT_TRUE(QTest::qWaitFor([&] { return ran; }, 5000));
  EXPECT_EQ(handle, nullptr);
}

}  // namespace
}  // namespace tempik::ui
