#pragma once

// Plain blocking sockets on loopback for tests of the socket layer and of what needs a
// listener that misbehaves below the protocol. Every wait has a deadline.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tempik::fakes {

using namespace std::chrono_literals;

/// Waits until fd is ready for events or the deadline passes.
inline bool waitReady(int fd, short events, std::chrono::milliseconds deadline) {
  pollfd entry{fd, events, 0};
  return ::poll(&entry, 1, static_cast<int>(deadline.count())) > 0;
}

/// 127.0.0.1 at a port.
inline sockaddr_in loopbackAddress(std::uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

/// One accepted (or connected) descriptor, closed on destruction.
class LoopbackPeer {
 public:
  explicit LoopbackPeer(int fd = -1) : fd_(fd) {}
  LoopbackPeer(LoopbackPeer&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  LoopbackPeer& operator=(LoopbackPeer&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  ~LoopbackPeer() { close(); }

  [[nodiscard]] bool valid() const { return fd_ >= 0; }
  [[nodiscard]] int fd() const { return fd_; }

  bool write(const std::vector<std::uint8_t>& bytes) const {
    for (std::size_t done = 0; done < bytes.size();) {
      const ssize_t n = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
      if (n <= 0) return false;
      done += static_cast<std::size_t>(n);
    }
    return true;
  }
  bool write(const std::string& text) const {
    return write(std::vector<std::uint8_t>(text.begin(), text.end()));
  }

  /// Reads until count bytes, end of stream or the deadline; returns what arrived.
  std::vector<std::uint8_t> read(std::size_t count,
                                 std::chrono::milliseconds deadline = 10s) const {
    std::vector<std::uint8_t> bytes;
    const auto end = std::chrono::steady_clock::now() + deadline;
    std::uint8_t chunk[65536];
    ssize_t n = 1;
    while (bytes.size() < count && n > 0 && std::chrono::steady_clock::now() < end &&
           waitReady(fd_, POLLIN,
                     std::chrono::ceil<std::chrono::milliseconds>(
                         end - std::chrono::steady_clock::now()))) {
      n = ::recv(fd_, chunk, std::min(sizeof chunk, count - bytes.size()), 0);
      if (n > 0) bytes.insert(bytes.end(), chunk, chunk + n);
    }
    return bytes;
  }

  /// True when the other side closed within the deadline, reading past any bytes.
  [[nodiscard]] bool waitForEndOfStream(std::chrono::milliseconds deadline = 10s) const {
    read(SIZE_MAX, deadline);
    std::uint8_t byte;
    return waitReady(fd_, POLLIN, 0ms) && ::recv(fd_, &byte, 1, MSG_DONTWAIT) <= 0;
  }

  /// Closes with a reset instead of an orderly end of stream.
  void reset() {
    const linger hard{1, 0};
    ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    close();
  }
  void close() {
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
  }

 private:
  int fd_;
};

/// A socket on 127.0.0.1 or ::1 at a port of the system's choosing (or the one given). With
/// backlog below 0 the port is taken but refuses connections.
class LoopbackListener {
 public:
  explicit LoopbackListener(int family = AF_INET, int backlog = 16, std::uint16_t port = 0)
      : family_(family), socket_(::socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    sockaddr_storage storage{};
    socklen_t length = sizeof(sockaddr_in);
    *reinterpret_cast<sockaddr_in*>(&storage) = loopbackAddress(port);
    if (family == AF_INET6) {
      const int on = 1;
      ::setsockopt(fd(), IPPROTO_IPV6, IPV6_V6ONLY, &on, sizeof on);
      auto* address = reinterpret_cast<sockaddr_in6*>(&storage);
      address->sin6_family = AF_INET6;
      address->sin6_addr = in6addr_loopback;
      length = sizeof *address;
    }
    ::bind(fd(), reinterpret_cast<sockaddr*>(&storage), length);
    ::getsockname(fd(), reinterpret_cast<sockaddr*>(&storage), &length);
    port_ = ntohs(reinterpret_cast<sockaddr_in*>(&storage)->sin_port);  // same place in both
    if (backlog >= 0) ::listen(fd(), backlog);
  }

  [[nodiscard]] int fd() const { return socket_.fd(); }
  [[nodiscard]] std::uint16_t port() const { return port_; }
  [[nodiscard]] std::string host() const { return family_ == AF_INET6 ? "::1" : "127.0.0.1"; }

  /// The next connection, or an invalid peer when none came within the deadline.
  [[nodiscard]] LoopbackPeer accept(std::chrono::milliseconds deadline = 10s) const {
    if (!waitReady(fd(), POLLIN, deadline)) return LoopbackPeer();
    return LoopbackPeer(::accept4(fd(), nullptr, nullptr, SOCK_CLOEXEC));
  }

 private:
  int family_;
  LoopbackPeer socket_;
  std::uint16_t port_ = 0;
};

/// A listener on 127.0.0.1 whose backlog is full and which never accepts: a further connect
/// gets no answer at all (its SYN is dropped), so it hangs without leaving loopback.
class FullBacklogListener {
 public:
  FullBacklogListener() {
    const sockaddr_in address = loopbackAddress(port());
    do {
      fillers_.emplace_back(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
      ::connect(fillers_.back().fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
    } while (fillers_.size() < 16 && waitReady(fillers_.back().fd(), POLLOUT, 200ms));
  }
  [[nodiscard]] std::uint16_t port() const { return listener_.port(); }

 private:
  LoopbackListener listener_{AF_INET, 0};
  std::vector<LoopbackPeer> fillers_;
};

}  // namespace tempik::fakes
