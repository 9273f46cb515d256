#include "net/SocketAddress.h"

#include <cstring>

#include "net/SystemSockets.h"

namespace tempik::net {

static_assert(sizeof(sockaddr_storage) <= sizeof(SocketAddress::storage) &&
              alignof(sockaddr_storage) <= alignof(SocketAddress));

namespace {
const sockaddr_storage& systemStorage(const SocketAddress& address) {
  return *reinterpret_cast<const sockaddr_storage*>(address.storage.data());
}
}  // namespace

int SocketAddress::family() const noexcept {
  return systemStorage(*this).ss_family;
}

bool SocketAddress::isIPv6() const noexcept {
  return family() == AF_INET6;
}

std::uint16_t SocketAddress::port() const noexcept {
  if (family() == AF_INET) return ntohs(reinterpret_cast<const sockaddr_in*>(&storage)->sin_port);
  if (family() == AF_INET6) {
    return ntohs(reinterpret_cast<const sockaddr_in6*>(&storage)->sin6_port);
  }
  return 0;
}

void SocketAddress::setPort(std::uint16_t port) noexcept {
  if (family() == AF_INET) reinterpret_cast<sockaddr_in*>(&storage)->sin_port = htons(port);
  if (family() == AF_INET6) reinterpret_cast<sockaddr_in6*>(&storage)->sin6_port = htons(port);
}

std::string SocketAddress::host() const {
  char text[INET6_ADDRSTRLEN] = {};
  const void* raw = nullptr;
  if (family() == AF_INET) raw = &reinterpret_cast<const sockaddr_in*>(&storage)->sin_addr;
  if (family() == AF_INET6) raw = &reinterpret_cast<const sockaddr_in6*>(&storage)->sin6_addr;
  if (raw == nullptr || ::inet_ntop(family(), raw, text, sizeof text) == nullptr) return {};
  return text;
}

SocketAddress SocketAddress::from(const sockaddr* address, std::size_t length) noexcept {
  SocketAddress result;
  if (length > sizeof result.storage) length = sizeof result.storage;
  std::memcpy(result.storage.data(), address, length);
  result.length = length;
  return result;
}

SocketAddress SocketAddress::loopback4(std::uint16_t port) noexcept {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return from(reinterpret_cast<const sockaddr*>(&address), sizeof address);
}

SocketAddress SocketAddress::loopback6(std::uint16_t port) noexcept {
  sockaddr_in6 address{};
  address.sin6_family = AF_INET6;
  address.sin6_port = htons(port);
  address.sin6_addr = in6addr_loopback;
  return from(reinterpret_cast<const sockaddr*>(&address), sizeof address);
}

}  // namespace tempik::net
