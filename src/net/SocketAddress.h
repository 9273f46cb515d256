#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

struct sockaddr;

namespace tempik::net {

/// An IPv4 or IPv6 socket address held by value. Its bytes are the system's sockaddr_storage;
/// the system headers stay in the .cpp files.
struct SocketAddress {
  alignas(8) std::array<std::byte, 128> storage{};
  std::size_t length = 0;

  int family() const noexcept;
  bool isIPv6() const noexcept;
  const sockaddr* get() const noexcept { return reinterpret_cast<const sockaddr*>(&storage); }
  std::uint16_t port() const noexcept;
  void setPort(std::uint16_t port) noexcept;
  /// Numeric text of the address ("127.0.0.1", "::1").
  std::string host() const;

  static SocketAddress from(const sockaddr* address, std::size_t length) noexcept;
  static SocketAddress loopback4(std::uint16_t port) noexcept;
  static SocketAddress loopback6(std::uint16_t port) noexcept;
};

}  // namespace tempik::net
