#pragma once

// A socket delegate that records every callback and lets a test wait for them.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "net/AsyncSocket.h"
#include "support/LoopbackPeer.h"

namespace tempik::net::testing {

using namespace std::chrono_literals;

/// A name that can never resolve. The space makes the resolver refuse it locally, so the
/// test sends no query to a name server off this machine.
inline constexpr const char* kUnresolvableHost = "tempik no-such-host.invalid";

struct Disconnect {
  std::optional<SocketError> error;
  bool hadSocket = false;
};

/// Everything the delegate heard, in order.
struct Log {
  std::vector<std::pair<std::string, std::uint16_t>> connects;
  std::vector<Disconnect> disconnects;
  std::vector<std::vector<std::uint8_t>> chunks;
  std::vector<std::uint8_t> received;
  std::vector<std::int64_t> readTags;
  std::vector<std::int64_t> writeTags;
  int partialWrites = 0;
  std::vector<double> timeoutsAsked;  // elapsed seconds of each time-out question
};

class RecordingDelegate : public AsyncSocketDelegate {
 public:
  /// With keepReading, a read of whatever is available is queued on connect and after each
  /// read, as a streaming client does.
  explicit RecordingDelegate(bool keepReading = false) : keepReading_(keepReading) {}

  void socketDidConnectToHost(AsyncSocket& socket, const std::string& host,
                              std::uint16_t port) override {
    record([&] { log_.connects.emplace_back(host, port); });
    if (keepReading_) socket.readDataWithTimeout(-1, 0);
  }
  void socketDidDisconnect(AsyncSocket* socket, const std::optional<SocketError>& error) override {
    record([&] { log_.disconnects.push_back({error, socket != nullptr}); });
  }
  void socketDidReadData(AsyncSocket& socket, const std::vector<std::uint8_t>& data,
                         std::int64_t tag) override {
    record([&] {
      log_.chunks.push_back(data);
      log_.received.insert(log_.received.end(), data.begin(), data.end());
      log_.readTags.push_back(tag);
    });
    if (keepReading_) socket.readDataWithTimeout(-1, tag);
  }
  void socketDidWriteData(AsyncSocket&, std::int64_t tag) override {
    record([&] { log_.writeTags.push_back(tag); });
  }
  void socketDidWritePartialDataOfLength(AsyncSocket&, std::size_t, std::int64_t) override {
    record([&] { ++log_.partialWrites; });
  }
  double socketShouldTimeoutRead(AsyncSocket&, std::int64_t, double elapsed, std::size_t) override {
    return timeoutAnswer(elapsed);
  }
  double socketShouldTimeoutWrite(AsyncSocket&, std::int64_t, double elapsed,
                                  std::size_t) override {
    return timeoutAnswer(elapsed);
  }

  /// Waits until condition holds for the log; false when the deadline passed.
  bool waitFor(const std::function<bool(const Log&)>& condition,
               std::chrono::milliseconds deadline = 10s) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, deadline, [&] { return condition(log_); });
  }
  bool waitForConnect() {
    return waitFor([](const Log& log) { return !log.connects.empty(); });
  }
  bool waitForDisconnect(std::chrono::milliseconds deadline = 10s) {
    return waitFor([](const Log& log) { return !log.disconnects.empty(); }, deadline);
  }
  Log log() {
    std::lock_guard lock(mutex_);
    return log_;
  }
  /// The one disconnect heard so far (an empty one when there were none or several).
  Disconnect onlyDisconnect() {
    std::lock_guard lock(mutex_);
    return log_.disconnects.size() == 1 ? log_.disconnects.front() : Disconnect{};
  }
  /// Answers to the coming time-out questions, in turn; 0 after them.
  void setExtensions(std::vector<double> extensions) {
    std::lock_guard lock(mutex_);
    extensions_ = std::move(extensions);
  }

 private:
  template <class Change>
  void record(Change change) {
    {
      std::lock_guard lock(mutex_);
      change();
    }
    changed_.notify_all();
  }
  double timeoutAnswer(double elapsed) {
    double answer = 0;
    record([&] {
      log_.timeoutsAsked.push_back(elapsed);
      const auto asked = log_.timeoutsAsked.size();
      if (asked <= extensions_.size()) answer = extensions_[asked - 1];
    });
    return answer;
  }

  bool keepReading_;
  std::mutex mutex_;
  std::condition_variable changed_;
  Log log_;
  std::vector<double> extensions_;
};

/// A socket with its delegate and queue, made the way the OSC client makes them.
struct SocketUnderTest {
  explicit SocketUnderTest(bool keepReading = false)
      : delegate(std::make_shared<RecordingDelegate>(keepReading)),
        queue(SerialQueue::create("test.delegate")),
        socket(AsyncSocket::create(delegate, queue)) {}

  bool connect(const std::string& host, std::uint16_t port, double timeout = 10) {
    SocketError error;
    return socket->connectToHost(host, port, timeout, error);
  }

  std::shared_ptr<RecordingDelegate> delegate;
  std::shared_ptr<SerialQueue> queue;
  std::shared_ptr<AsyncSocket> socket;
};

/// A connected socket and the listener's end of its connection.
struct Connected : SocketUnderTest {
  explicit Connected(bool keepReading = false) : SocketUnderTest(keepReading) {
    EXPECT_TRUE(connect(listener.host(), listener.port()));
    peer = listener.accept();
    EXPECT_TRUE(peer.valid());
    EXPECT_TRUE(delegate->waitForConnect());
  }
  fakes::LoopbackListener listener;
  fakes::LoopbackPeer peer;
};

inline std::vector<std::uint8_t> bytes(const std::string& text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

}  // namespace tempik::net::testing
