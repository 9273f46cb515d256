#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>

#include "net/SilenceLimits.h"
#include "net/SocketAddress.h"
#include "net/SocketError.h"

// Every place where the systems differ, behind one interface: Platform.cpp for POSIX systems,
// PlatformWindows.cpp for Windows (Winsock). Above this file the layers see POSIX errno codes
// and one socket handle type on every system. Every function may be called from any thread.
namespace tempik::net::platform {

/// A socket as the system names it, widened to one type: a descriptor (POSIX) or a SOCKET
/// (Windows, where INVALID_SOCKET is all ones, so -1 here too).
using SocketHandle = std::intptr_t;
inline constexpr SocketHandle kNoSocket = -1;

/// The errno code of the calling thread's last failed socket call. Windows' WSA codes become
/// the errno codes they mean (WSAECONNREFUSED is ECONNREFUSED), so the error domain and codes
/// reported above are the same on every system.
int lastSocketError() noexcept;

/// The errno code of an error a system call or wait reported (Asio's error codes carry the
/// system's own numbers); 0 for no error.
int errnoOf(const std::error_code& error) noexcept;

/// The system's text for an errno value; the same text on every system for the codes a socket
/// reports ("Connection refused").
std::string errnoText(int errnoValue);

/// Repeats a system call interrupted by a signal.
template <class Call>
auto retryOnInterrupt(Call call) {
  for (;;) {
    auto result = call();
    if (result >= 0 || lastSocketError() != EINTR) return result;
  }
}

/// A new stream socket of family, not inherited by child processes; kNoSocket and
/// lastSocketError() on failure.
SocketHandle openStreamSocket(int family) noexcept;

/// Closes a socket (never retried: after EINTR a POSIX descriptor is already free).
void closeSocket(SocketHandle socket) noexcept;

/// Makes calls on socket return at once instead of waiting; false and lastSocketError() on
/// failure.
bool setNonBlocking(SocketHandle socket) noexcept;

/// Keeps a write to a reset connection from raising SIGPIPE where the system has a socket
/// option for it (macOS); elsewhere send() does the job on each write, or there is no signal.
void disableSigPipe(SocketHandle socket) noexcept;

/// Sets the options that make the system give up on a silent peer (SilenceLimits), and turns
/// keepalive on. Each option is set where the system has it and skipped where it does not; every
/// one is tried. Returns the first that could not be set, as an error of the system's domain
/// naming the option.
[[nodiscard]] std::optional<SocketError> applySilenceLimits(SocketHandle socket,
                                                            const SilenceLimits& limits);

/// Makes closing end the connection with a reset: data not yet sent is dropped and the peer's
/// next read fails instead of seeing the end of the stream. The error when the option is refused
/// (closing then ends the connection in order).
[[nodiscard]] std::optional<SocketError> setResetOnClose(SocketHandle socket);

/// Binds socket to a local address, allowing a fixed local port to be reused; the errno code,
/// 0 on success.
int bindTo(SocketHandle socket, const SocketAddress& local) noexcept;

/// Starts connect() on a non-blocking socket: 0 when connected at once, EINPROGRESS while it
/// goes on (Windows says "would block"), otherwise the errno code of the failure.
int startConnect(SocketHandle socket, const SocketAddress& remote) noexcept;

/// The outcome of a connect() that went on in the background: 0 or its errno code.
int connectOutcome(SocketHandle socket) noexcept;

/// The connected peer's address.
std::optional<SocketAddress> peerAddress(SocketHandle socket) noexcept;

/// recv() and send() of at most length bytes: the count, or -1 and lastSocketError(). A peek
/// leaves the bytes in place. send() never raises SIGPIPE.
std::ptrdiff_t receive(SocketHandle socket, void* buffer, std::size_t length,
                       bool peek = false) noexcept;
std::ptrdiff_t send(SocketHandle socket, const void* buffer, std::size_t length) noexcept;

/// The bytes socket holds for reading right now (0 at end of stream and on errors).
std::size_t bytesAvailable(SocketHandle socket) noexcept;

/// The events a readiness wait stands for.
enum class Wait { read, write, error };

/// The waits that together report a socket writable, or a non-blocking connect() finished
/// either way: POSIX reports a failed connect() as writable, Windows only as an error.
std::span<const Wait> writableWaits() noexcept;

/// Waits until socket is ready for wait or milliseconds have passed (poll(), WSAPoll()): true
/// when it is ready, or has failed or been closed by the peer.
bool waitReady(SocketHandle socket, Wait wait, int milliseconds) noexcept;

/// The first IPv4 and IPv6 address (port 0) of the network interface called name.
struct InterfaceAddresses {
  std::optional<SocketAddress> ipv4;
  std::optional<SocketAddress> ipv6;
};
InterfaceAddresses interfaceAddresses(std::string_view name);

/// Names the calling thread for debuggers and /proc (at most 15 characters).
void nameThisThread(const char* name) noexcept;

/// The calendar fields of a time in UTC or in the local time zone.
std::tm calendarTime(std::time_t seconds, bool utc) noexcept;

}  // namespace tempik::net::platform
