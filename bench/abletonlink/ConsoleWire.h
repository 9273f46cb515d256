#pragma once

// A console on loopback for timing what reaches the wire: it accepts one connection and notes
// when each SLIP frame's last byte was read, as the tap-to-wire benchmark does, keeping the
// frame so that the tempo's own command can be told from pings.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "net/UniqueFd.h"
#include "support/Recorder.h"

namespace tempik::bench {

using Clock = std::chrono::steady_clock;

/// Listens on port 3038 (where tempik looks for its console) of a random 127.x.y.z, so that
/// another run's console is never in the way. Throws when no address is free.
class ConsoleListener {
 public:
  ConsoleListener() {
    std::random_device random;
    std::uniform_int_distribution<int> octet(1, 254);
    for (int tries = 0; tries < 20 && !listener_; ++tries) {
      host_ = "127." + std::to_string(octet(random)) + "." + std::to_string(octet(random)) + "." +
              std::to_string(octet(random));
      listener_ = listenOn(host_);
    }
    if (!listener_) throw std::runtime_error("no free loopback address for port 3038");
  }

  [[nodiscard]] const std::string& host() const { return host_; }
  /// Waits for the one connection.
  [[nodiscard]] net::UniqueFd accept() const {
    return net::UniqueFd(::accept(listener_.get(), nullptr, nullptr));
  }

 private:
  static net::UniqueFd listenOn(const std::string& host) {
    net::UniqueFd listener(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const int yes = 1;
    ::setsockopt(listener.get(), SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(3038);
    ::inet_pton(AF_INET, host.c_str(), &address.sin_addr);
    if (::bind(listener.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener.get(), 4) != 0) {
      return {};
    }
    return listener;
  }

  std::string host_;
  net::UniqueFd listener_;
};

/// Reads a connection on a thread of its own and keeps each SLIP frame with the moment its
/// last byte was read. Every member may be called from any thread.
class FrameLog {
 public:
  struct Frame {
    std::string bytes;  // without the END bytes
    Clock::time_point completedAt;
  };

  explicit FrameLog(net::UniqueFd connection)
      : connection_(std::move(connection)), thread_([this] { run(); }) {}
  ~FrameLog() {
    ::shutdown(connection_.get(), SHUT_RDWR);
    thread_.join();
  }
  FrameLog(const FrameLog&) = delete;
  FrameLog& operator=(const FrameLog&) = delete;

  [[nodiscard]] std::size_t size() const { return frames_.log().size(); }

  /// The first frame from number `from` on (counted from 0) that contains text; nothing when
  /// none has come by the deadline.
  [[nodiscard]] std::optional<Frame> waitFor(std::string_view text, std::size_t from,
                                             Clock::duration deadline) const {
    std::optional<Frame> found;
    frames_.waitUntil(
        [&](const std::vector<Frame>& frames) {
          for (std::size_t i = from; i < frames.size(); ++i) {
            if (frames[i].bytes.find(text) != std::string::npos) {
              found = frames[i];
              return true;
            }
          }
          return false;
        },
        deadline);
    return found;
  }

 private:
  void run() {
    constexpr char end = '\xC0';
    char buffer[4096];
    std::string frame;
    for (;;) {
      const ssize_t size = ::read(connection_.get(), buffer, sizeof buffer);
      const auto now = Clock::now();
      if (size <= 0) return;
      std::vector<Frame> completed;
      for (ssize_t i = 0; i < size; ++i) {
        if (buffer[i] != end) {
          frame += buffer[i];
        } else if (!frame.empty()) {
          completed.push_back({std::move(frame), now});
          frame.clear();
        }
      }
      if (completed.empty()) continue;
      frames_.change([&](std::vector<Frame>& frames) {
        for (auto& each : completed) frames.push_back(std::move(each));
      });
    }
  }

  net::UniqueFd connection_;
  fakes::Recorder<std::vector<Frame>> frames_;
  std::thread thread_;  // last: starts once everything above is in place
};

}  // namespace tempik::bench
