// The POSIX side of net/Platform.h (Linux, the BSDs, macOS).
#include "net/Platform.h"

#include <fcntl.h>
#include <ifaddrs.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <pthread.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <memory>

#include "net/SystemSockets.h"

namespace tempik::net::platform {

namespace {
// strerror_r returns the text (GNU) or a status (XSI, macOS).
[[maybe_unused]] std::string strerrorResult(const char* text, const char*) {
  return text;
}
[[maybe_unused]] std::string strerrorResult(int status, const char* buffer) {
  return status == 0 ? buffer : "Unknown error";
}

int sendFlags() noexcept {
#ifdef MSG_NOSIGNAL
  return MSG_NOSIGNAL;
#else
  return 0;
#endif
}
}  // namespace

int lastSocketError() noexcept {
  return errno;
}

int errnoOf(const std::error_code& error) noexcept {
  return error.value();
}

std::string errnoText(int errnoValue) {
  char buffer[256] = {};
  return strerrorResult(::strerror_r(errnoValue, buffer, sizeof buffer), buffer);
}

SocketHandle openStreamSocket(int family) noexcept {
#ifdef SOCK_CLOEXEC
  return ::socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
#else
  int fd = ::socket(family, SOCK_STREAM, 0);
  if (fd >= 0) ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  return fd;
#endif
}

void closeSocket(SocketHandle socket) noexcept {
  ::close(static_cast<int>(socket));
}

bool setNonBlocking(SocketHandle socket) noexcept {
  const int fd = static_cast<int>(socket);
  int flags = retryOnInterrupt([fd] { return ::fcntl(fd, F_GETFL); });
  if (flags < 0) return false;
  if (flags & O_NONBLOCK) return true;
  return retryOnInterrupt([fd, flags] { return ::fcntl(fd, F_SETFL, flags | O_NONBLOCK); }) >= 0;
}

void disableSigPipe([[maybe_unused]] SocketHandle socket) noexcept {
#ifdef SO_NOSIGPIPE
  int on = 1;
  ::setsockopt(static_cast<int>(socket), SOL_SOCKET, SO_NOSIGPIPE, &on, sizeof on);
#endif
}

namespace {
// Sets one integer option; on failure keeps the first error and goes on with the rest.
void setIntOption(int fd, int level, int option, const char* name, int value,
                  std::optional<SocketError>& firstFailure) {
  if (::setsockopt(fd, level, option, &value, sizeof value) == 0 || firstFailure) return;
  firstFailure = errors::posix(errno, std::string("Error in setsockopt(") + name + ")");
}

template <class Duration>
int count(Duration duration) {
  return static_cast<int>(duration.count());
}
}  // namespace

std::optional<SocketError> applySilenceLimits(SocketHandle socket,
                                              [[maybe_unused]] const SilenceLimits& limits) {
  [[maybe_unused]] const int fd = static_cast<int>(socket);
  std::optional<SocketError> failure;
#ifdef SO_KEEPALIVE
  setIntOption(fd, SOL_SOCKET, SO_KEEPALIVE, "SO_KEEPALIVE", 1, failure);
#endif
#ifdef TCP_USER_TIMEOUT
  setIntOption(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, "TCP_USER_TIMEOUT",
               count(limits.unacknowledgedTimeout), failure);
#elif defined(TCP_RXT_CONNDROPTIME)  // macOS: whole seconds of retransmitting
  setIntOption(fd, IPPROTO_TCP, TCP_RXT_CONNDROPTIME, "TCP_RXT_CONNDROPTIME",
               count(std::chrono::ceil<std::chrono::seconds>(limits.unacknowledgedTimeout)),
               failure);
#endif
#if defined(TCP_KEEPIDLE)
  setIntOption(fd, IPPROTO_TCP, TCP_KEEPIDLE, "TCP_KEEPIDLE", count(limits.keepAliveIdle), failure);
#elif defined(TCP_KEEPALIVE)  // macOS names the idle time so
  setIntOption(fd, IPPROTO_TCP, TCP_KEEPALIVE, "TCP_KEEPALIVE", count(limits.keepAliveIdle),
               failure);
#endif
#ifdef TCP_KEEPINTVL
  setIntOption(fd, IPPROTO_TCP, TCP_KEEPINTVL, "TCP_KEEPINTVL", count(limits.keepAliveInterval),
               failure);
#endif
#ifdef TCP_KEEPCNT
  setIntOption(fd, IPPROTO_TCP, TCP_KEEPCNT, "TCP_KEEPCNT", limits.keepAliveProbes, failure);
#endif
  return failure;
}

std::optional<SocketError> setResetOnClose(SocketHandle socket) {
  const linger hard{1, 0};  // on, with no time to send what is left: close() resets
  if (::setsockopt(static_cast<int>(socket), SOL_SOCKET, SO_LINGER, &hard, sizeof hard) == 0) {
    return std::nullopt;
  }
  return errors::posix(errno, "Error in setsockopt(SO_LINGER)");
}

int bindTo(SocketHandle socket, const SocketAddress& local) noexcept {
  const int fd = static_cast<int>(socket);
  if (local.port() != 0) {
    int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  }
  return ::bind(fd, local.get(), static_cast<socklen_t>(local.length)) == 0 ? 0 : errno;
}

int startConnect(SocketHandle socket, const SocketAddress& remote) noexcept {
  if (::connect(static_cast<int>(socket), remote.get(), static_cast<socklen_t>(remote.length)) ==
      0) {
    return 0;
  }
  // EINTR: the connection still goes ahead; its outcome is waited for like EINPROGRESS.
  return errno == EINTR ? EINPROGRESS : errno;
}

int connectOutcome(SocketHandle socket) noexcept {
  int error = 0;
  socklen_t length = sizeof error;
  if (::getsockopt(static_cast<int>(socket), SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
    return errno;
  }
  return error;
}

std::optional<SocketAddress> peerAddress(SocketHandle socket) noexcept {
  sockaddr_storage storage{};
  socklen_t length = sizeof storage;
  if (::getpeername(static_cast<int>(socket), reinterpret_cast<sockaddr*>(&storage), &length) !=
      0) {
    return std::nullopt;
  }
  return SocketAddress::from(reinterpret_cast<sockaddr*>(&storage), length);
}

std::ptrdiff_t receive(SocketHandle socket, void* buffer, std::size_t length, bool peek) noexcept {
  return ::recv(static_cast<int>(socket), buffer, length, peek ? MSG_PEEK : 0);
}

std::ptrdiff_t send(SocketHandle socket, const void* buffer, std::size_t length) noexcept {
  return ::send(static_cast<int>(socket), buffer, length, sendFlags());
}

std::size_t bytesAvailable(SocketHandle socket) noexcept {
  int available = 0;
  if (::ioctl(static_cast<int>(socket), FIONREAD, &available) < 0) return 0;
  return static_cast<std::size_t>(available);
}

std::span<const Wait> writableWaits() noexcept {
  static constexpr std::array kWaits{Wait::write};
  return kWaits;
}

bool waitReady(SocketHandle socket, Wait wait, int milliseconds) noexcept {
  pollfd entry{static_cast<int>(socket), static_cast<short>(wait == Wait::read ? POLLIN : POLLOUT),
               0};
  return retryOnInterrupt([&] { return ::poll(&entry, 1, milliseconds); }) > 0;
}

InterfaceAddresses interfaceAddresses(std::string_view name) {
  InterfaceAddresses addresses;
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return addresses;
  std::unique_ptr<ifaddrs, decltype(&::freeifaddrs)> owned(list, &::freeifaddrs);
  for (const ifaddrs* each = list; each != nullptr; each = each->ifa_next) {
    if (each->ifa_addr == nullptr || name != each->ifa_name) continue;
    const int family = each->ifa_addr->sa_family;
    if (family == AF_INET && !addresses.ipv4) {
      addresses.ipv4 = SocketAddress::from(each->ifa_addr, sizeof(sockaddr_in));
    } else if (family == AF_INET6 && !addresses.ipv6) {
      addresses.ipv6 = SocketAddress::from(each->ifa_addr, sizeof(sockaddr_in6));
    }
  }
  if (addresses.ipv4) addresses.ipv4->setPort(0);
  if (addresses.ipv6) addresses.ipv6->setPort(0);
  return addresses;
}

void nameThisThread(const char* name) noexcept {
#ifdef __APPLE__
  ::pthread_setname_np(name);
#else
  ::pthread_setname_np(::pthread_self(), name);
#endif
}

std::tm calendarTime(std::time_t seconds, bool utc) noexcept {
  std::tm parts{};
  if (utc) {
    ::gmtime_r(&seconds, &parts);
  } else {
    ::localtime_r(&seconds, &parts);
  }
  return parts;
}

}  // namespace tempik::net::platform
