#include "net/AsyncSocket.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

#include <future>

#include "net/RecordingDelegate.h"
#include "support/LoopbackPeer.h"

namespace tempik::net {
namespace {

using namespace std::chrono_literals;
using tempik::fakes::LoopbackListener;
using tempik::fakes::LoopbackPeer;
using testing::bytes;
using testing::kUnresolvableHost;
using testing::SocketUnderTest;

std::size_t countEntries(const char* directory) {
  std::size_t count = 0;
  if (DIR* dir = ::opendir(directory)) {
    while (::readdir(dir) != nullptr) ++count;
    ::closedir(dir);
  }
  return count;
}

/// What each open descriptor refers to, to show which one leaked.
std::string describeDescriptors() {
  std::string text;
  if (DIR* dir = ::opendir("/proc/self/fd")) {
    while (auto* entry = ::readdir(dir)) {
      char target[256] = {};
      const std::string path = std::string("/proc/self/fd/") + entry->d_name;
      if (::readlink(path.c_str(), target, sizeof target - 1) > 0) {
        text += std::string(entry->d_name) + "->" + target + " ";
      }
    }
    ::closedir(dir);
  }
  return text;
}

/// Polls a condition that no callback announces, with a deadline.
bool eventually(const std::function<bool()>& condition, std::chrono::seconds deadline = 10s) {
  const auto end = std::chrono::steady_clock::now() + deadline;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

TEST(AsyncSocketLifetime, DestroyedMidConnectCallsOnlyTheFinalDisconnect) {
  tempik::fakes::FullBacklogListener silent;
  auto started = SerialQueue::create("facility threads start on first use");
  const auto descriptorsBefore = countEntries("/proc/self/fd");
  for (const std::string host : {"127.0.0.1", "localhost"}) {
    SCOPED_TRACE(host);
    SocketUnderTest test;
    test.socket->setAlternateAddressDelay(30);
    ASSERT_TRUE(test.connect(host, silent.port(), -1));
    test.socket.reset();
    ASSERT_TRUE(test.delegate->waitForDisconnect());
    test.queue->sync([] {});
    EXPECT_FALSE(test.delegate->onlyDisconnect().hadSocket);
    EXPECT_FALSE(test.delegate->onlyDisconnect().error.has_value());
    EXPECT_TRUE(test.delegate->log().connects.empty());
  }
  EXPECT_EQ(countEntries("/proc/self/fd"), descriptorsBefore);
}

TEST(AsyncSocketLifetime, DestroyedWithCallbacksInFlightCallsNothingMoreWithIt) {
  LoopbackListener listener;
  SocketUnderTest test(/*keepReading=*/true);
  ASSERT_TRUE(test.connect(listener.host(), listener.port()));
  auto peer = listener.accept();
  ASSERT_TRUE(test.delegate->waitForConnect());

  // Hold the delegate queue while the socket reads, sees the end and posts its callbacks.
  std::promise<void> release;
  std::promise<void> holding;
  test.queue->async([&] {
    holding.set_value();
    release.get_future().wait();
  });
  holding.get_future().wait();
  ASSERT_TRUE(peer.write("in flight"));
  peer.close();
  ASSERT_TRUE(eventually([&] { return test.socket->isDisconnected(); }));
  test.socket.reset();
  release.set_value();
  test.queue->sync([] {});

  EXPECT_TRUE(test.delegate->log().chunks.empty());
  ASSERT_EQ(test.delegate->log().disconnects.size(), 1u);
  EXPECT_FALSE(test.delegate->log().disconnects.front().hadSocket);
}

TEST(AsyncSocketLifetime, AGoneDelegateIsSkipped) {
  LoopbackListener listener;
  SocketUnderTest test;
  std::weak_ptr<testing::RecordingDelegate> watched = test.delegate;
  ASSERT_TRUE(test.connect(listener.host(), listener.port()));
  test.delegate.reset();
  auto peer = listener.accept();
  ASSERT_TRUE(peer.valid());
  test.socket->writeData(bytes("still works"), -1, 0);
  EXPECT_EQ(peer.read(11), bytes("still works"));
  EXPECT_TRUE(watched.expired());
}

// Every path that makes or drops a descriptor, many times over, leaves no descriptor and no
// thread behind.
TEST(AsyncSocketLifetime, ThousandCyclesLeaveNoDescriptorOrThread) {
  LoopbackListener listener;
  LoopbackListener refusing(AF_INET, false);
  tempik::fakes::FullBacklogListener silent;
  {
    SocketUnderTest warmUp;  // the facility's threads start on first use
    ASSERT_TRUE(warmUp.connect(kUnresolvableHost, 1, -1));
    ASSERT_TRUE(warmUp.delegate->waitForDisconnect(60s));
  }
  const auto descriptorsBefore = countEntries("/proc/self/fd");
  const auto descriptorsBeforeText = describeDescriptors();
  const auto threadsBefore = countEntries("/proc/self/task");

  for (int cycle = 0; cycle < 1000; ++cycle) {
    SCOPED_TRACE(cycle);
    SocketUnderTest test(/*keepReading=*/true);
    test.socket->setAlternateAddressDelay(0);
    switch (cycle % 10) {
      case 0:  // refused on both families
        ASSERT_TRUE(test.connect("localhost", refusing.port()));
        ASSERT_TRUE(test.delegate->waitForDisconnect());
        ASSERT_TRUE(test.delegate->onlyDisconnect().error.has_value());
        break;
      case 1:  // destroyed mid-connect
        ASSERT_TRUE(test.connect("127.0.0.1", silent.port()));
        test.socket.reset();
        ASSERT_TRUE(test.delegate->waitForDisconnect());
        break;
      case 2:  // timed out
        ASSERT_TRUE(test.connect("127.0.0.1", silent.port(), 0.02));
        ASSERT_TRUE(test.delegate->waitForDisconnect());
        ASSERT_TRUE(test.delegate->onlyDisconnect().error.has_value());
        break;
      default: {  // connect, exchange, disconnect
        ASSERT_TRUE(test.connect("127.0.0.1", listener.port()));
        auto peer = listener.accept();
        ASSERT_TRUE(peer.valid());
        test.socket->writeData(bytes("ping"), -1, 0);
        ASSERT_EQ(peer.read(4), bytes("ping"));
        ASSERT_TRUE(peer.write("pong"));
        ASSERT_TRUE(test.delegate->waitFor(
            [](const testing::Log& log) { return log.received.size() == 4; }));
        if (cycle % 2 == 0) {
          test.socket->disconnect();
        } else {
          peer.close();
        }
        ASSERT_TRUE(test.delegate->waitForDisconnect());
      }
    }
  }
  EXPECT_EQ(countEntries("/proc/self/fd"), descriptorsBefore)
      << descriptorsBeforeText << "\nnow: " << describeDescriptors();
  EXPECT_EQ(countEntries("/proc/self/task"), threadsBefore);
}

}  // namespace
}  // namespace tempik::net
