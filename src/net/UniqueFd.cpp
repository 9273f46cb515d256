#include "net/UniqueFd.h"

#include <unistd.h>

namespace tempik::net {

void UniqueFd::reset(int fd) noexcept {
  // close() is never retried: after EINTR the number is already free and may be reused.
  if (fd_ >= 0) ::close(fd_);
  fd_ = fd;
}

}  // namespace tempik::net
