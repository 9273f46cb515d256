#pragma once

#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tempik::core {

/// A console on loopback for tests in real time: listens on TCP port 3038 of a random
/// 127.x.y.z address (so parallel test runs do not meet), decodes the SLIP-framed OSC
/// messages it receives and can send messages back. Runs on a thread of its own; every
/// member may be called from the test's thread.
class LoopbackConsole {
 public:
  struct Received {
    std::string address;
    std::vector<std::string> arguments;  // string arguments only
    std::size_t connection = 0;          // numbered from 0 in the order accepted
    std::chrono::steady_clock::time_point at;
  };

  LoopbackConsole();
  ~LoopbackConsole();
  LoopbackConsole(const LoopbackConsole&) = delete;
  LoopbackConsole& operator=(const LoopbackConsole&) = delete;

  [[nodiscard]] const std::string& host() const { return host_; }

  /// Waits until `count` connections were accepted; false after the deadline.
  bool waitForConnections(std::size_t count, std::chrono::seconds deadline);
  /// Waits until `count` messages arrived and returns all so far; nothing after the deadline.
  std::optional<std::vector<Received>> waitForMessages(std::size_t count,
                                                       std::chrono::seconds deadline);

  /// Sends a message with string arguments on the newest connection.
  void send(const std::string& address, const std::vector<std::string>& arguments);
  /// Closes every connection, as a console that goes away.
  void dropConnections();

 private:
  struct Connection;
  void accept();
  void read(const std::shared_ptr<Connection>& connection);

  asio::io_context io_;
  asio::ip::tcp::acceptor acceptor_{io_};
  std::string host_;

  mutable std::mutex mutex_;  // guards what the console's thread records for the test's
  std::condition_variable changed_;
  std::size_t accepted_ = 0;
  std::vector<Received> received_;

  std::vector<std::shared_ptr<Connection>> connections_;  // on the console's thread
  std::thread thread_;
};

}  // namespace tempik::core
