#include "net/Platform.h"

#include <fcntl.h>
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

void nameThisThread(const char* name) noexcept {
#ifdef __APPLE__
  ::pthread_setname_np(name);
#else
  ::pthread_setname_np(::pthread_self(), name);
#endif
}

}  // namespace tempik::net::platform
