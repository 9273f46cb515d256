#include "net/HostResolution.h"

#include <memory>

#include "net/Platform.h"
#include "net/SystemSockets.h"

namespace tempik::net {

bool isLoopbackName(const std::string& host) {
  return host == "localhost" || host == "loopback";
}

std::variant<ResolvedAddresses, SocketError> resolveHost(const std::string& host,
                                                         std::uint16_t port) {
  if (isLoopbackName(host)) {
    return ResolvedAddresses{SocketAddress::loopback4(port), SocketAddress::loopback6(port)};
  }
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(port);
  if (int code = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found); code != 0) {
    return errors::netdb(code);
  }
  std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> results(found, &::freeaddrinfo);

  ResolvedAddresses addresses;
  for (const addrinfo* each = found; each != nullptr; each = each->ai_next) {
    if (each->ai_family == AF_INET && !addresses.ipv4) {
      addresses.ipv4 =
          SocketAddress::from(each->ai_addr, static_cast<std::size_t>(each->ai_addrlen));
    } else if (each->ai_family == AF_INET6 && !addresses.ipv6) {
      addresses.ipv6 =
          SocketAddress::from(each->ai_addr, static_cast<std::size_t>(each->ai_addrlen));
      // Some resolvers leave the port out of IPv6 results.
      if (addresses.ipv6->port() == 0) addresses.ipv6->setPort(port);
    }
  }
  if (!addresses.ipv4 && !addresses.ipv6) return errors::netdb(EAI_FAIL);
  return addresses;
}

ResolvedAddresses resolveInterface(const std::string& name) {
  ResolvedAddresses addresses;
  if (isLoopbackName(name)) {
    return ResolvedAddresses{SocketAddress::loopback4(0), SocketAddress::loopback6(0)};
  }
  sockaddr_in ipv4{};
  if (::inet_pton(AF_INET, name.c_str(), &ipv4.sin_addr) == 1) {
    ipv4.sin_family = AF_INET;
    addresses.ipv4 = SocketAddress::from(reinterpret_cast<sockaddr*>(&ipv4), sizeof ipv4);
    return addresses;
  }
  sockaddr_in6 ipv6{};
  if (::inet_pton(AF_INET6, name.c_str(), &ipv6.sin6_addr) == 1) {
    ipv6.sin6_family = AF_INET6;
    addresses.ipv6 = SocketAddress::from(reinterpret_cast<sockaddr*>(&ipv6), sizeof ipv6);
    return addresses;
  }

  auto byName = platform::interfaceAddresses(name);
  return ResolvedAddresses{byName.ipv4, byName.ipv6};
}

}  // namespace tempik::net
