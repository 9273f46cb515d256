#pragma once

// When the benchmark's peer commits a tempo. A Link peer sends a change at once only when it
// has sent nothing for 50 ms, its answers to other peers' announcements included; otherwise
// the change waits for the rest of the 50 ms, and again if the peer answers someone meanwhile.
// Peers announce themselves every 250 ms, so with one other peer about every other change made
// at a random moment waits, up to 50 ms and at times more. Committing only once Link has been
// silent on the wire for longer than that times the path alone; committing at random moments times
// what a change made by hand meets.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <chrono>
#include <optional>
#include <random>
#include <stdexcept>
#include <thread>

#include "net/UniqueFd.h"
#include "support/Recorder.h"

namespace tempik::bench {

/// Notes when a packet last went to Link's discovery group on loopback (224.76.78.75, port
/// 20808, as Link puts it on the wire): every announcement there, each of which the other
/// peers answer at once. Reads on a thread of its own; members are called from one other
/// thread.
class LinkWireListener {
 public:
  using Clock = std::chrono::steady_clock;

  LinkWireListener() {
    const int yes = 1;
    ::setsockopt(socket_.get(), SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(20808);
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    ip_mreq group{};
    ::inet_pton(AF_INET, "224.76.78.75", &group.imr_multiaddr);
    group.imr_interface.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(socket_.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::setsockopt(socket_.get(), IPPROTO_IP, IP_ADD_MEMBERSHIP, &group, sizeof group) != 0) {
      throw std::runtime_error("cannot listen to Link's discovery group on loopback");
    }
    thread_ = std::thread([this] { run(); });
  }
  ~LinkWireListener() {
    ::shutdown(socket_.get(), SHUT_RDWR);  // ends the read
    thread_.join();
  }
  LinkWireListener(const LinkWireListener&) = delete;
  LinkWireListener& operator=(const LinkWireListener&) = delete;

  /// Returns once nothing has gone to the group for `silence`.
  void waitForSilence(Clock::duration silence) const {
    for (;;) {
      const auto last = lastPacket_.log();
      if (!last || Clock::now() - *last >= silence) return;
      std::this_thread::sleep_until(*last + silence);
    }
  }

 private:
  void run() {
    char buffer[2048];
    while (::recv(socket_.get(), buffer, sizeof buffer, 0) > 0) {
      const auto now = Clock::now();
      lastPacket_.change([&](std::optional<Clock::time_point>& last) { last = now; });
    }
  }

  net::UniqueFd socket_{::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)};
  fakes::Recorder<std::optional<Clock::time_point>> lastPacket_;
  std::thread thread_;
};

enum class Moment {
  /// Once Link has been silent on the wire for longer than it holds a change back.
  sentAtOnce,
  /// At random: up to one announcement period later than the spacing asks.
  random,
};

/// Picks the moment of each commit. Called from one thread.
class CommitMoments {
 public:
  using Clock = std::chrono::steady_clock;

  explicit CommitMoments(Moment moment) {
    if (moment == Moment::sentAtOnce) wire_.emplace();
  }

  /// Sleeps until the next commit may go: `spacing` after `last`, then as the moment asks.
  void sleepAfter(Clock::time_point last, Clock::duration spacing) {
    std::this_thread::sleep_until(last + spacing);
    if (wire_) {
      wire_->waitForSilence(holdBack + std::chrono::milliseconds(5));
    } else {
      std::this_thread::sleep_for(Clock::duration(spread_(random_)));
    }
  }

 private:
  static constexpr std::chrono::milliseconds holdBack{50};
  static constexpr std::chrono::milliseconds announcementPeriod{250};

  std::optional<LinkWireListener> wire_;
  std::minstd_rand random_{2024};
  std::uniform_int_distribution<Clock::rep> spread_{0, Clock::duration(announcementPeriod).count()};
};

}  // namespace tempik::bench
