#include "net/UniqueFd.h"

namespace tempik::net {

void UniqueFd::reset(Handle fd) noexcept {
  if (fd_ != platform::kNoSocket) platform::closeSocket(fd_);
  fd_ = fd;
}

}  // namespace tempik::net
