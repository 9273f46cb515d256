#include "net/Platform.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <pthread.h>
#include <sys/socket.h>

#include <cstring>

namespace tempik::net::platform {

namespace {
// strerror_r returns the text (GNU) or a status (XSI, macOS).
[[maybe_unused]] std::string strerrorResult(const char* text, const char*) {
  return text;
}
[[maybe_unused]] std::string strerrorResult(int status, const char* buffer) {
  return status == 0 ? buffer : "Unknown error";
}
}  // namespace

std::string errnoText(int errnoValue) {
  char buffer[256] = {};
  return strerrorResult(::strerror_r(errnoValue, buffer, sizeof buffer), buffer);
}

void disableSigPipe([[maybe_unused]] int fd) noexcept {
#ifdef SO_NOSIGPIPE
  int on = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_NOSIGPIPE, &on, sizeof on);
#endif
}

int sendFlags() noexcept {
#ifdef MSG_NOSIGNAL
  return MSG_NOSIGNAL;
#else
  return 0;
#endif
}

int openStreamSocket(int family) noexcept {
#ifdef SOCK_CLOEXEC
  return ::socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
#else
  int fd = ::socket(family, SOCK_STREAM, 0);
  if (fd >= 0) ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  return fd;
#endif
}

bool setNonBlocking(int fd) noexcept {
  int flags = retryOnInterrupt([fd] { return ::fcntl(fd, F_GETFL); });
  if (flags < 0) return false;
  if (flags & O_NONBLOCK) return true;
  return retryOnInterrupt([fd, flags] { return ::fcntl(fd, F_SETFL, flags | O_NONBLOCK); }) >= 0;
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

std::optional<SocketError> applySilenceLimits([[maybe_unused]] int fd,
                                              [[maybe_unused]] const SilenceLimits& limits) {
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

std::optional<SocketError> setResetOnClose(int fd) {
  const linger hard{1, 0};  // on, with no time to send what is left: close() resets
  if (::setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard) == 0) return std::nullopt;
  return errors::posix(errno, "Error in setsockopt(SO_LINGER)");
}

void nameThisThread(const char* name) noexcept {
#ifdef __APPLE__
  ::pthread_setname_np(name);
#else
  ::pthread_setname_np(::pthread_self(), name);
#endif
}

}  // namespace tempik::net::platform
