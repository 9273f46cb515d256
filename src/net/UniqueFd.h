#pragma once

#include <utility>

#include "net/Platform.h"

namespace tempik::net {

/// Owns one socket (a descriptor, or a SOCKET on Windows) and closes it exactly once.
class UniqueFd {
 public:
  using Handle = platform::SocketHandle;

  UniqueFd() noexcept = default;
  explicit UniqueFd(Handle fd) noexcept : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, platform::kNoSocket)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) reset(std::exchange(other.fd_, platform::kNoSocket));
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() { reset(); }

  Handle get() const noexcept { return fd_; }
  bool valid() const noexcept { return fd_ != platform::kNoSocket; }
  explicit operator bool() const noexcept { return valid(); }
  Handle release() noexcept { return std::exchange(fd_, platform::kNoSocket); }
  void reset(Handle fd = platform::kNoSocket) noexcept;

 private:
  Handle fd_ = platform::kNoSocket;
};

}  // namespace tempik::net
