#pragma once

#include <cerrno>
#include <optional>
#include <string>

#include "net/SilenceLimits.h"
#include "net/SocketError.h"

// The few places where the platforms differ, and the EINTR rule for every system call.
namespace tempik::net::platform {

/// The system's text for an errno value.
std::string errnoText(int errnoValue);

/// Keeps a write to a reset connection from raising SIGPIPE where the platform has a socket
/// option for it (macOS); elsewhere sendFlags() does the job on each write.
void disableSigPipe(int fd) noexcept;

/// Flags for send(): MSG_NOSIGNAL where it exists.
int sendFlags() noexcept;

/// Repeats a system call interrupted by a signal.
template <class Call>
auto retryOnInterrupt(Call call) {
  for (;;) {
    auto result = call();
    if (result >= 0 || errno != EINTR) return result;
  }
}

}  // namespace tempik::net::platform

namespace tempik::net::platform {

/// A new stream socket of family, closed on exec; -1 and errno on failure.
int openStreamSocket(int family) noexcept;

/// Sets O_NONBLOCK; false and errno on failure.
bool setNonBlocking(int fd) noexcept;

/// Sets the options that make the system give up on a silent peer (SilenceLimits) on a TCP
/// descriptor, and turns keepalive on. Each option is set where the platform has it and skipped
/// where it does not; every one is tried. Returns the first that could not be set, as an error of
/// the system's domain naming the option.
[[nodiscard]] std::optional<SocketError> applySilenceLimits(int fd, const SilenceLimits& limits);

/// Makes close() end the connection with a reset: data not yet sent is dropped and the peer's
/// next read fails instead of seeing the end of the stream. The error when the option is refused
/// (close() then ends the connection in order).
[[nodiscard]] std::optional<SocketError> setResetOnClose(int fd);

/// Names the calling thread for debuggers and /proc (at most 15 characters).
void nameThisThread(const char* name) noexcept;

}  // namespace tempik::net::platform
