#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "net/SocketAddress.h"
#include "net/SocketError.h"

namespace tempik::net {

/// The first IPv4 and the first IPv6 address of a lookup, in the resolver's order.
struct ResolvedAddresses {
  std::optional<SocketAddress> ipv4;
  std::optional<SocketAddress> ipv6;
};

/// True for the names that mean this machine without asking the resolver.
bool isLoopbackName(const std::string& host);

/// "localhost" and "loopback" give both loopback addresses; anything else asks the system
/// resolver, which may block: call it on a worker. Failures are "NetDBErrorDomain" errors.
std::variant<ResolvedAddresses, SocketError> resolveHost(const std::string& host,
                                                         std::uint16_t port);

/// The local addresses (port 0) of an interface given as an IP address literal or by name.
ResolvedAddresses resolveInterface(const std::string& name);

}  // namespace tempik::net
