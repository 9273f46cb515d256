#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "link/OSCTCPFraming.h"
#include "osc/OSCPacket.h"

namespace tempik::link::testing {

/// The packet's bytes as one SLIP frame, as a console sends them.
inline Bytes slipFrame(const osc::OSCPacket& packet) {
  return slipEncode(packet.rawData());
}

// Generous: the machine is shared and may run the tests under a sanitizer.
inline constexpr std::chrono::seconds kPatience{30};

/// A thread-safe mailbox: callbacks push, the test waits with a deadline.
template <class T>
class Inbox {
 public:
  void push(T value) {
    {
      std::lock_guard lock(mutex_);
      items_.push_back(std::move(value));
    }
    ready_.notify_all();
  }

  std::optional<T> pop(std::chrono::steady_clock::duration timeout = kPatience) {
    std::unique_lock lock(mutex_);
    if (!ready_.wait_for(lock, timeout, [this] { return !items_.empty(); })) return std::nullopt;
    T value = std::move(items_.front());
    items_.pop_front();
    return value;
  }

  std::size_t size() const {
    std::lock_guard lock(mutex_);
    return items_.size();
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<T> items_;
};

/// A stand-in console on 127.0.0.1: accepts connections on a port of its own, records what
/// each connection sends, and writes or drops on request. Connections are numbered from 0 in
/// the order they were accepted.
class FakeConsole {
 public:
  /// With listenBacklog 0 and accepting off, fillBacklog() makes later connects hang as if
  /// nothing answered, until startAccepting().
  explicit FakeConsole(bool accepting = true, int listenBacklog = 16);
  ~FakeConsole();
  FakeConsole(const FakeConsole&) = delete;
  FakeConsole& operator=(const FakeConsole&) = delete;

  std::uint16_t port() const { return port_; }

  /// Connects once from here, so a listener with backlog 0 has a full queue.
  void fillBacklog();
  void startAccepting();

  /// Waits until count connections were accepted.
  bool waitForConnections(std::size_t count);
  std::size_t connectionCount() const;
  /// Waits until connection has sent at least count bytes; returns everything it sent.
  std::vector<std::uint8_t> waitForBytes(std::size_t connection, std::size_t count);
  /// Waits until the peer of connection has closed its side.
  bool waitForClose(std::size_t connection);
  /// Waits until count connections were closed by their peers; returns the open ones.
  std::vector<std::size_t> waitForClosedCount(std::size_t count);

  void write(std::size_t connection, const std::vector<std::uint8_t>& bytes);
  /// Closes; with reset the peer gets a reset instead of an orderly end.
  void drop(std::size_t connection, bool reset = false);

 private:
  struct Connection;
  void acceptLoop();
  void readLoop(Connection& connection);

  int listener_ = -1;
  std::uint16_t port_ = 0;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::unique_ptr<Connection>> connections_;
  bool stopping_ = false;
  std::vector<int> fillers_;
  std::thread acceptor_;
};

}  // namespace tempik::link::testing
