#pragma once

// A plain blocking listener and peer on loopback for tests of the socket layer and its users.
// Every wait has a deadline; nothing here sleeps to synchronise.

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
  for (;;) {
    int result = ::poll(&entry, 1, static_cast<int>(deadline.count()));
    if (result >= 0) return result > 0;
    if (errno != EINTR) return false;
  }
}

/// One accepted (or connected) descriptor, closed on destruction.
class LoopbackPeer {
 public:
  LoopbackPeer() = default;
  explicit LoopbackPeer(int fd) : fd_(fd) {}
  LoopbackPeer(LoopbackPeer&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  LoopbackPeer& operator=(LoopbackPeer&& other) noexcept {
    if (this != &other) {
      close();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  ~LoopbackPeer() { close(); }

  bool valid() const { return fd_ >= 0; }
  int fd() const { return fd_; }

  bool write(const std::vector<std::uint8_t>& bytes) const {
    std::size_t done = 0;
    while (done < bytes.size()) {
      ssize_t n = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
      if (n < 0 && errno == EINTR) continue;
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
    while (bytes.size() < count) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          end - std::chrono::steady_clock::now());
      if (left.count() <= 0 || !waitReady(fd_, POLLIN, left)) break;
      std::uint8_t chunk[65536];
      ssize_t n = ::recv(fd_, chunk, std::min(sizeof chunk, count - bytes.size()), 0);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      bytes.insert(bytes.end(), chunk, chunk + n);
    }
    return bytes;
  }

  /// True when the other side closed (end of stream) within the deadline, reading past any bytes.
  bool waitForEndOfStream(std::chrono::milliseconds deadline = 10s) const {
    const auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          end - std::chrono::steady_clock::now());
      if (left.count() <= 0 || !waitReady(fd_, POLLIN, left)) return false;
      std::uint8_t chunk[4096];
      ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
      if (n == 0) return true;
      if (n < 0 && errno != EINTR && errno != EAGAIN) return true;
    }
  }

  /// Closes with a reset instead of an orderly end of stream.
  void reset() {
    linger hard{1, 0};
    ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    close();
  }

  void close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_ = -1;
};

/// A listening socket on 127.0.0.1 or ::1 with a port of the system's choosing. With listen
/// false the port is taken but refuses connections.
class LoopbackListener {
 public:
  explicit LoopbackListener(int family = AF_INET, bool listen = true, int backlog = 16)
      : family_(family) {
    fd_ = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int on = 1;
    if (family == AF_INET6) ::setsockopt(fd_, IPPROTO_IPV6, IPV6_V6ONLY, &on, sizeof on);
    bindTo(0);
    if (listen) ::listen(fd_, backlog);
  }
  /// Listens on the other family's loopback at the same port as other.
  LoopbackListener(int family, std::uint16_t port) : family_(family) {
    fd_ = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int on = 1;
    if (family == AF_INET6) ::setsockopt(fd_, IPPROTO_IPV6, IPV6_V6ONLY, &on, sizeof on);
    bindTo(port);
    ::listen(fd_, 16);
  }
  LoopbackListener(const LoopbackListener&) = delete;
  LoopbackListener& operator=(const LoopbackListener&) = delete;
  ~LoopbackListener() { ::close(fd_); }

  int fd() const { return fd_; }
  std::uint16_t port() const { return port_; }
  std::string host() const { return family_ == AF_INET6 ? "::1" : "127.0.0.1"; }

  /// The next connection, or an invalid peer when none came within the deadline.
  LoopbackPeer accept(std::chrono::milliseconds deadline = 10s) const {
    if (!waitReady(fd_, POLLIN, deadline)) return LoopbackPeer();
    return LoopbackPeer(::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC));
  }

 private:
  void bindTo(std::uint16_t port) {
    sockaddr_storage storage{};
    socklen_t length = 0;
    if (family_ == AF_INET6) {
      auto* address = reinterpret_cast<sockaddr_in6*>(&storage);
      address->sin6_family = AF_INET6;
      address->sin6_addr = in6addr_loopback;
      address->sin6_port = htons(port);
      length = sizeof *address;
    } else {
      auto* address = reinterpret_cast<sockaddr_in*>(&storage);
      address->sin_family = AF_INET;
      address->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      address->sin_port = htons(port);
      length = sizeof *address;
    }
    ::bind(fd_, reinterpret_cast<sockaddr*>(&storage), length);
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&storage), &length);
    port_ = ntohs(family_ == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&storage)->sin6_port
                                      : reinterpret_cast<sockaddr_in*>(&storage)->sin_port);
  }

  int family_;
  int fd_ = -1;
  std::uint16_t port_ = 0;
};

/// A listener on 127.0.0.1 whose backlog is full and which never accepts: a further connect
/// gets no answer at all (its SYN is dropped), so it hangs without leaving loopback.
class FullBacklogListener {
 public:
  FullBacklogListener() : listener_(AF_INET, true, 0) {
    for (int i = 0; i < 16; ++i) {
      int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
      sockaddr_in address{};
      address.sin_family = AF_INET;
      address.sin_port = htons(listener_.port());
      address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
      fillers_.emplace_back(fd);
      if (!waitReady(fd, POLLOUT, 200ms)) return;  // this one hangs: the backlog is full
    }
  }
  std::uint16_t port() const { return listener_.port(); }

 private:
  LoopbackListener listener_;
  std::vector<LoopbackPeer> fillers_;
};

}  // namespace tempik::fakes
