#include "net/Platform.h"

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

}  // namespace tempik::net::platform
