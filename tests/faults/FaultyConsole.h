#pragma once

#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tempik::faults {

/// A console on TCP port 3038 of one loopback address that misbehaves on request: it can
/// refuse to read, send any bytes at all, and drop a connection at any point, mid-frame and
/// with a reset included. It records the connections it accepted and the SLIP-framed OSC
/// messages it decoded. Runs on a thread of its own; every member may be called from the
/// test's thread.
class FaultyConsole {
 public:
  using Clock = std::chrono::steady_clock;

  struct Received {
    std::string address;
    std::vector<std::string> arguments;  // string arguments only
    std::size_t connection = 0;          // numbered from 0 in the order accepted
    Clock::time_point at;
  };
  struct Connection {
    Clock::time_point acceptedAt;
    std::optional<Clock::time_point> droppedAt;  // when the console closed it
    bool closedByPeer = false;                   // tempik closed it (seen only while reading)
  };
  struct Log {
    std::vector<Connection> connections;
    std::vector<Received> received;

    /// Messages with this address received on this connection.
    [[nodiscard]] std::vector<Received> on(std::size_t connection,
                                           const std::string& address) const;
  };

  enum class Reading { always, never };
  enum class Close { orderly, reset };

  /// Listens on host:3038; throws when the address is taken. With Reading::never the console
  /// also asks for the smallest receive buffer, so that a sender backs up soon.
  explicit FaultyConsole(std::string host, Reading reading = Reading::always);
  ~FaultyConsole();
  FaultyConsole(const FaultyConsole&) = delete;
  FaultyConsole& operator=(const FaultyConsole&) = delete;

  [[nodiscard]] const std::string& host() const { return host_; }

  [[nodiscard]] Log log() const;
  /// Waits until done(log) holds; false when the deadline passed first.
  bool waitUntil(const std::function<bool(const Log&)>& done, Clock::duration deadline) const;

  /// Reads from now on, on the open connections and on later ones.
  void startReading();
  /// Queues bytes on the newest open connection, after everything queued before.
  void send(std::vector<std::uint8_t> bytes);
  void sendMessage(const std::string& address, const std::vector<std::string>& arguments = {});
  /// After `delay`, writes lastBytes (say, half a frame) on the newest open connection and
  /// then closes it, orderly or with a reset.
  void drop(Close how, std::vector<std::uint8_t> lastBytes = {}, Clock::duration delay = {});

 private:
  struct Peer;
  void accept();
  void read(const std::shared_ptr<Peer>& peer);
  void writeNext(const std::shared_ptr<Peer>& peer);
  void close(const std::shared_ptr<Peer>& peer, Close how);
  std::shared_ptr<Peer> newestOpenPeer() const;

  std::string host_;
  asio::io_context io_;
  asio::ip::tcp::acceptor acceptor_{io_};

  mutable std::mutex mutex_;  // guards log_, which the console's thread writes for the test
  mutable std::condition_variable changed_;
  Log log_;

  // On the console's thread.
  bool reading_;
  std::vector<std::shared_ptr<Peer>> peers_;
  std::thread thread_;  // last: starts once everything above is in place
};

/// SLIP-frames one OSC message with string arguments.
std::vector<std::uint8_t> slipMessage(const std::string& address,
                                      const std::vector<std::string>& arguments = {});

}  // namespace tempik::faults
