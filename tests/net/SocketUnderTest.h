#pragma once

// A socket made the way the OSC client makes it, with a delegate that records every callback
// so that a test can wait for them.

#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <mutex>

#include "net/AsyncSocket.h"
#include "support/LoopbackPeer.h"
#include "support/Recorder.h"

namespace tempik::net::testing {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

/// A name that can never resolve. The space makes the resolver refuse it locally, so the
/// test sends no query to a name server off this machine.
inline constexpr const char* kUnresolvableHost = "tempik no-such-host.invalid";

/// Everything the delegate heard, in order.
struct Log {
  std::vector<std::string> connects;  // "host port"
  std::vector<std::optional<SocketError>> disconnects;
  bool lastDisconnectHadSocket = false;
  std::vector<Bytes> chunks;
  Bytes received;
  std::vector<std::int64_t> writeTags;
  int partialWrites = 0;
};

class RecordingDelegate final : public AsyncSocketDelegate, public fakes::Recorder<Log> {
 public:
  /// With keepReading, a read of whatever is available is queued on connect and after each
  /// read, as a streaming client does.
  explicit RecordingDelegate(bool keepReading) : keepReading_(keepReading) {}

  void socketDidConnectToHost(AsyncSocket& socket, const std::string& host,
                              std::uint16_t port) override {
    change([&](Log& log) { log.connects.push_back(host + " " + std::to_string(port)); });
    if (keepReading_) socket.readDataWithTimeout(-1, 0);
  }
  void socketDidDisconnect(AsyncSocket* socket, const std::optional<SocketError>& error) override {
    change(
        [&](Log& log) { log.disconnects.push_back(error), log.lastDisconnectHadSocket = socket; });
  }
  void socketDidReadData(AsyncSocket& socket, const Bytes& data, std::int64_t tag) override {
    change([&](Log& log) {
      log.chunks.push_back(data);
      log.received.insert(log.received.end(), data.begin(), data.end());
    });
    if (keepReading_) socket.readDataWithTimeout(-1, tag);
  }
  void socketDidWriteData(AsyncSocket&, std::int64_t tag) override {
    change([&](Log& log) { log.writeTags.push_back(tag); });
  }
  void socketDidWritePartialDataOfLength(AsyncSocket&, std::size_t, std::int64_t) override {
    change([](Log& log) { ++log.partialWrites; });
  }

  /// Waits for the (first) disconnect and returns its error.
  std::optional<SocketError> disconnectError() {
    EXPECT_TRUE(waitUntil([](const Log& log) { return !log.disconnects.empty(); }, 60s));
    const auto disconnects = log().disconnects;
    return disconnects.empty() ? std::nullopt : disconnects.front();
  }

 private:
  const bool keepReading_;
};

struct SocketUnderTest {
  explicit SocketUnderTest(bool keepReading = false)
      : delegate(std::make_shared<RecordingDelegate>(keepReading)),
        queue(SerialQueue::create("test.delegate")),
        socket(AsyncSocket::create(delegate, queue)) {}

  bool connect(const std::string& host, std::uint16_t port, double timeout = 10) {
    SocketError error;
    return socket->connectToHost(host, port, timeout, error);
  }
  bool waitForConnect() {
    return delegate->waitUntil([](const Log& log) { return !log.connects.empty(); });
  }

  std::shared_ptr<RecordingDelegate> delegate;
  std::shared_ptr<SerialQueue> queue;
  std::shared_ptr<AsyncSocket> socket;
};

/// A connected socket and the listener's end of its connection.
struct Connected : SocketUnderTest {
  explicit Connected(bool keepReading = false, std::optional<SilenceLimits> limits = {})
      : SocketUnderTest(keepReading) {
    socket->setSilenceLimits(limits);
    EXPECT_TRUE(connect(listener.host(), listener.port()));
    peer = listener.accept();
    EXPECT_TRUE(peer.valid() && waitForConnect());
  }
  fakes::LoopbackListener listener;
  fakes::LoopbackPeer peer;
};

inline Bytes bytes(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

}  // namespace tempik::net::testing
