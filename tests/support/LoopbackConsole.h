#pragma once

#include <asio/post.hpp>
#include <asio/steady_timer.hpp>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <future>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "Console.h"
#include "support/Recorder.h"

namespace tempik::fakes {

using namespace std::chrono_literals;

/// eos-sim's console on a loopback address, on a thread of its own, recording what happens so
/// that a test can wait for it. Every member may be called from the test's thread.
class LoopbackConsole final : private eossim::ConsoleEvents {
 public:
  using Clock = std::chrono::steady_clock;
  using Close = eossim::Console::Close;

  struct Message {
    std::string address;
    std::vector<std::string> arguments;  // the string ones
    int client = 0;                      // numbered from 1 in the order accepted
  };
  struct Connection {
    Clock::time_point acceptedAt;
    std::optional<Clock::time_point> droppedAt;  // by the console
    bool closedByClient = false;                 // seen only while reading
  };
  struct Log {
    std::vector<Connection> connections;  // client n at n - 1
    std::vector<Message> received;
    std::size_t undecodable = 0;
    /// Whether the client (numbered from 1) has closed its connection.
    [[nodiscard]] bool closedByClient(std::size_t client) const {
      return connections.size() >= client && connections[client - 1].closedByClient;
    }
    /// The messages to this address, on one client or (0) on any.
    [[nodiscard]] std::vector<Message> to(const std::string& address, int client = 0) const {
      std::vector<Message> found;
      for (const auto& m : received) {
        if (m.address == address && (client == 0 || m.client == client)) found.push_back(m);
      }
      return found;
    }
  };

  /// Listens on host:port (port 0: any free one); throws when it cannot.
  explicit LoopbackConsole(const std::string& host = "127.0.0.1", std::uint16_t port = 0)
      : console_(io_, {asio::ip::make_address(host), port}, *this),
        thread_([this] { io_.run(); }) {}
  ~LoopbackConsole() override {
    asio::post(io_, [this] { io_.stop(); });
    thread_.join();
  }
  LoopbackConsole(const LoopbackConsole&) = delete;
  LoopbackConsole& operator=(const LoopbackConsole&) = delete;

  [[nodiscard]] std::string host() const { return endpoint_.address().to_string(); }
  [[nodiscard]] std::uint16_t port() const { return endpoint_.port(); }

  [[nodiscard]] Log log() const { return recorder_.log(); }
  bool waitUntil(const std::function<bool(const Log&)>& done,
                 Clock::duration deadline = 30s) const {
    return recorder_.waitUntil(done, deadline);
  }
  /// Waits for at least count messages to this address (on one client, or any).
  bool waitFor(const std::string& address, std::size_t count = 1, int client = 0,
               Clock::duration deadline = 30s) const {
    return waitUntil([&](const Log& log) { return log.to(address, client).size() >= count; },
                     deadline);
  }

  void send(const osc::OSCMessage& message) {
    post([this, message] { console_.send(message); });
  }
  void sendBytes(link::Bytes bytes) {
    post([this, bytes = std::move(bytes)]() mutable { console_.sendBytes(std::move(bytes)); });
  }
  /// Returns once the console reads no more (or reads again).
  void setReading(bool reading) {
    std::promise<void> done;
    post([this, reading, &done] {
      console_.setReading(reading);
      done.set_value();
    });
    done.get_future().wait();
  }
  void setAnsweringPings(bool answering) {
    post([this, answering] { console_.setAnsweringPings(answering); });
  }
  /// After delay, writes lastBytes to every connection and closes it.
  void drop(Close how, link::Bytes lastBytes = {}, Clock::duration delay = {}) {
    auto timer = std::make_shared<asio::steady_timer>(io_, delay);
    timer->async_wait([this, timer, how, lastBytes = std::move(lastBytes)](std::error_code) {
      const auto dropped = console_.drop(how, lastBytes);
      recorder_.change([&](Log& log) {
        for (const int client : dropped) log.connections[client - 1].droppedAt = Clock::now();
      });
    });
  }

 private:
  template <class Job>
  void post(Job job) {
    asio::post(io_, std::move(job));
  }

  void connected(int, const std::string&) override {
    recorder_.change([](Log& log) {
      log.connections.push_back({Clock::now(), std::nullopt, false});
    });
  }
  void disconnected(int client) override {
    recorder_.change([&](Log& log) { log.connections[client - 1].closedByClient = true; });
  }
  void received(int client, const osc::OSCMessage& message) override {
    Message kept{message.addressPattern().rawAddress(), {}, client};
    for (const auto& value : message.values()) {
      if (const auto* text = value.stringValue()) kept.arguments.push_back(*text);
    }
    recorder_.change([&](Log& log) { log.received.push_back(std::move(kept)); });
  }
  void undecodable(int, std::size_t, const std::string&) override {
    recorder_.change([](Log& log) { ++log.undecodable; });
  }

  asio::io_context io_;  // never out of work: the console always waits to accept
  eossim::Console console_;
  const asio::ip::tcp::endpoint endpoint_ = console_.localEndpoint();
  Recorder<Log> recorder_;
  std::thread thread_;  // last: starts once everything above is in place
};

}  // namespace tempik::fakes
