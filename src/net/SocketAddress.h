#pragma once

#include <sys/socket.h>

#include <cstdint>
#include <string>

namespace tempik::net {

/// An IPv4 or IPv6 socket address held by value.
struct SocketAddress {
  sockaddr_storage storage{};
  socklen_t length = 0;

  int family() const noexcept { return storage.ss_family; }
  const sockaddr* get() const noexcept { return reinterpret_cast<const sockaddr*>(&storage); }
  std::uint16_t port() const noexcept;
  void setPort(std::uint16_t port) noexcept;
  /// Numeric text of the address ("127.0.0.1", "::1").
  std::string host() const;

  static SocketAddress from(const sockaddr* address, socklen_t length) noexcept;
  static SocketAddress loopback4(std::uint16_t port) noexcept;
  static SocketAddress loopback6(std::uint16_t port) noexcept;
};

}  // namespace tempik::net
