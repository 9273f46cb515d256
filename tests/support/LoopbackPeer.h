#pragma once

// Plain blocking sockets on loopback for tests of the socket layer and of what needs a
// listener that misbehaves below the protocol. Every wait has a deadline. The calls that differ
// between systems go through the socket layer's platform functions.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "net/Platform.h"
#include "net/SystemSockets.h"

namespace tempik::fakes {

using namespace std::chrono_literals;
using net::platform::SocketHandle;

/// Waits until socket is ready for wait or the deadline passes.
inline bool waitReady(SocketHandle socket, net::platform::Wait wait,
                      std::chrono::milliseconds deadline) {
  return net::platform::waitReady(socket, wait, static_cast<int>(deadline.count()));
}

/// Whether closing with a zero linger reaches the peer as a reset. Linux and Windows send one;
/// Wine, which runs the Windows build's tests, ends such a connection in order.
inline bool closeWithResetReachesPeer() {
#ifdef _WIN32
  return ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version") == nullptr;
#else
  return true;
#endif
}

/// 127.0.0.1 at a port.
inline sockaddr_in loopbackAddress(std::uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

/// setsockopt() with an option value of any type (Windows takes it as char*).
template <class Value>
void setOption(SocketHandle socket, int level, int name, const Value& value) {
  ::setsockopt(socket, level, name, reinterpret_cast<const char*>(&value), sizeof value);
}

/// One accepted (or connected) socket, closed on destruction.
class LoopbackPeer {
 public:
  explicit LoopbackPeer(SocketHandle fd = net::platform::kNoSocket) : fd_(fd) {}
  LoopbackPeer(LoopbackPeer&& other) noexcept
      : fd_(std::exchange(other.fd_, net::platform::kNoSocket)) {}
  LoopbackPeer& operator=(LoopbackPeer&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  ~LoopbackPeer() { close(); }

  [[nodiscard]] bool valid() const { return fd_ != net::platform::kNoSocket; }
  [[nodiscard]] SocketHandle fd() const { return fd_; }

  bool write(const std::vector<std::uint8_t>& bytes) const {
    for (std::size_t done = 0; done < bytes.size();) {
      const auto n = net::platform::send(fd_, bytes.data() + done, bytes.size() - done);
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
    std::ptrdiff_t n = 1;
    while (bytes.size() < count && n > 0 && std::chrono::steady_clock::now() < end &&
           waitReady(fd_, net::platform::Wait::read,
                     std::chrono::ceil<std::chrono::milliseconds>(
                         end - std::chrono::steady_clock::now()))) {
      n = net::platform::receive(fd_, chunk, std::min(sizeof chunk, count - bytes.size()));
      if (n > 0) bytes.insert(bytes.end(), chunk, chunk + n);
    }
    return bytes;
  }

  /// True when the other side closed within the deadline, reading past any bytes.
  [[nodiscard]] bool waitForEndOfStream(std::chrono::milliseconds deadline = 10s) const {
    read(SIZE_MAX, deadline);
    std::uint8_t byte;
    return waitReady(fd_, net::platform::Wait::read, 0ms) &&
           net::platform::receive(fd_, &byte, 1) <= 0;
  }

  /// Closes with a reset instead of an orderly end of stream.
  void reset() {
    setOption(fd_, SOL_SOCKET, SO_LINGER, linger{1, 0});
    close();
  }
  void close() {
    if (valid()) net::platform::closeSocket(std::exchange(fd_, net::platform::kNoSocket));
  }

 private:
  SocketHandle fd_;
};

/// A socket on 127.0.0.1 or ::1 at a port of the system's choosing (or the one given). With
/// backlog below 0 the port is taken but refuses connections.
class LoopbackListener {
 public:
  explicit LoopbackListener(int family = AF_INET, int backlog = 16, std::uint16_t port = 0)
      : family_(family), socket_(net::platform::openStreamSocket(family)) {
    sockaddr_storage storage{};
    socklen_t length = sizeof(sockaddr_in);
    *reinterpret_cast<sockaddr_in*>(&storage) = loopbackAddress(port);
    if (family == AF_INET6) {
      setOption(fd(), IPPROTO_IPV6, IPV6_V6ONLY, 1);
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

  [[nodiscard]] SocketHandle fd() const { return socket_.fd(); }
  [[nodiscard]] std::uint16_t port() const { return port_; }
  [[nodiscard]] std::string host() const { return family_ == AF_INET6 ? "::1" : "127.0.0.1"; }

  /// The next connection, or an invalid peer when none came within the deadline.
  [[nodiscard]] LoopbackPeer accept(std::chrono::milliseconds deadline = 10s) const {
    if (!waitReady(fd(), net::platform::Wait::read, deadline)) return LoopbackPeer();
    // INVALID_SOCKET, all ones, is kNoSocket too.
    return LoopbackPeer(static_cast<SocketHandle>(::accept(fd(), nullptr, nullptr)));
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
      fillers_.emplace_back(net::platform::openStreamSocket(AF_INET));
      net::platform::setNonBlocking(fillers_.back().fd());
      ::connect(fillers_.back().fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
    } while (fillers_.size() < 16 &&
             waitReady(fillers_.back().fd(), net::platform::Wait::write, 200ms));
  }
  [[nodiscard]] std::uint16_t port() const { return listener_.port(); }

 private:
  LoopbackListener listener_{AF_INET, 0};
  std::vector<LoopbackPeer> fillers_;
};

}  // namespace tempik::fakes
