// The Windows side of net/Platform.h: Winsock, with its errors mapped to the errno codes the
// layers above compare against.
#include <winsock2.h>
#include <ws2tcpip.h>
// After winsock2.h, which they need.
#include <iphlpapi.h>
#include <mstcpip.h>
#include <pthread.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <memory>
#include <system_error>
#include <vector>

#include "net/Platform.h"

namespace tempik::net::platform {

namespace {

SOCKET native(SocketHandle socket) noexcept {
  return static_cast<SOCKET>(socket);
}

// Winsock needs WSAStartup before any other call; it counts its users. This reference is taken
// on first use and never given back: a WSACleanup at exit would pull Winsock from under the
// work-queue threads, which are still stopping then.
void startWinsock() noexcept {
  static const bool started = [] {
    WSADATA data;
    return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  (void)started;
}

struct Mapping {
  int wsa;
  int posix;
};
// The codes a stream socket meets; any other code goes up unchanged.
constexpr Mapping kErrors[] = {
    {WSAEINTR, EINTR},
    {WSAEBADF, EBADF},
    {WSAEACCES, EACCES},
    {WSAEFAULT, EFAULT},
    {WSAEINVAL, EINVAL},
    {WSAEMFILE, EMFILE},
    {WSAEWOULDBLOCK, EWOULDBLOCK},
    {WSAEINPROGRESS, EINPROGRESS},
    {WSAEALREADY, EALREADY},
    {WSAENOTSOCK, ENOTSOCK},
    {WSAEDESTADDRREQ, EDESTADDRREQ},
    {WSAEMSGSIZE, EMSGSIZE},
    {WSAEPROTOTYPE, EPROTOTYPE},
    {WSAENOPROTOOPT, ENOPROTOOPT},
    {WSAEPROTONOSUPPORT, EPROTONOSUPPORT},
    {WSAEOPNOTSUPP, EOPNOTSUPP},
    {WSAEAFNOSUPPORT, EAFNOSUPPORT},
    {WSAEADDRINUSE, EADDRINUSE},
    {WSAEADDRNOTAVAIL, EADDRNOTAVAIL},
    {WSAENETDOWN, ENETDOWN},
    {WSAENETUNREACH, ENETUNREACH},
    {WSAENETRESET, ENETRESET},
    {WSAECONNABORTED, ECONNABORTED},
    {WSAECONNRESET, ECONNRESET},
    {WSAENOBUFS, ENOBUFS},
    {WSAEISCONN, EISCONN},
    {WSAENOTCONN, ENOTCONN},
    {WSAESHUTDOWN, EPIPE},  // a write after shutdown() or after the peer's reset
    {WSAETIMEDOUT, ETIMEDOUT},
    {WSAECONNREFUSED, ECONNREFUSED},
    {WSAEHOSTDOWN, EHOSTUNREACH},
    {WSAEHOSTUNREACH, EHOSTUNREACH},
};

int posixCode(int wsaCode) noexcept {
  for (const auto& mapping : kErrors) {
    if (mapping.wsa == wsaCode) return mapping.posix;
  }
  return wsaCode;
}

// glibc's texts, so that a failure reads the same wherever tempik runs.
struct Text {
  int code;
  const char* text;
};
constexpr Text kTexts[] = {
    {EINTR, "Interrupted system call"},
    {EBADF, "Bad file descriptor"},
    {EACCES, "Permission denied"},
    {EFAULT, "Bad address"},
    {EINVAL, "Invalid argument"},
    {EMFILE, "Too many open files"},
    {EPIPE, "Broken pipe"},
    {EAGAIN, "Resource temporarily unavailable"},
    {EWOULDBLOCK, "Resource temporarily unavailable"},
    {EINPROGRESS, "Operation now in progress"},
    {EALREADY, "Operation already in progress"},
    {ENOTSOCK, "Socket operation on non-socket"},
    {EDESTADDRREQ, "Destination address required"},
    {EMSGSIZE, "Message too long"},
    {EPROTOTYPE, "Protocol wrong type for socket"},
    {ENOPROTOOPT, "Protocol not available"},
    {EPROTONOSUPPORT, "Protocol not supported"},
    {EOPNOTSUPP, "Operation not supported"},
    {EAFNOSUPPORT, "Address family not supported by protocol"},
    {EADDRINUSE, "Address already in use"},
    {EADDRNOTAVAIL, "Cannot assign requested address"},
    {ENETDOWN, "Network is down"},
    {ENETUNREACH, "Network is unreachable"},
    {ENETRESET, "Network dropped connection on reset"},
    {ECONNABORTED, "Software caused connection abort"},
    {ECONNRESET, "Connection reset by peer"},
    {ENOBUFS, "No buffer space available"},
    {EISCONN, "Transport endpoint is already connected"},
    {ENOTCONN, "Transport endpoint is not connected"},
    {ETIMEDOUT, "Connection timed out"},
    {ECONNREFUSED, "Connection refused"},
    {EHOSTUNREACH, "No route to host"},
};

std::string utf8(const wchar_t* text) {
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string out(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
  out.pop_back();  // the terminating zero
  return out;
}

}  // namespace

int lastSocketError() noexcept {
  return posixCode(::WSAGetLastError());
}

int errnoOf(const std::error_code& error) noexcept {
  return error ? posixCode(error.value()) : 0;
}

std::string errnoText(int errnoValue) {
  for (const auto& entry : kTexts) {
    if (entry.code == errnoValue) return entry.text;
  }
  // An unmapped WSA code: Windows' own text for it.
  if (errnoValue >= WSABASEERR) return std::system_category().message(errnoValue);
  return std::generic_category().message(errnoValue);
}

SocketHandle openStreamSocket(int family) noexcept {
  startWinsock();
  // Overlapped, as Asio's completion port needs; never inherited by child processes.
  const SOCKET socket = ::WSASocketW(family, SOCK_STREAM, IPPROTO_TCP, nullptr, 0,
                                     WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
  return socket == INVALID_SOCKET ? kNoSocket : static_cast<SocketHandle>(socket);
}

void closeSocket(SocketHandle socket) noexcept {
  ::closesocket(native(socket));
}

bool setNonBlocking(SocketHandle socket) noexcept {
  u_long on = 1;
  return ::ioctlsocket(native(socket), FIONBIO, &on) == 0;
}

void disableSigPipe(SocketHandle) noexcept {}  // Windows raises no signal

// Winsock's retransmission limit in whole seconds (Windows Vista on); MinGW's headers lack it.
constexpr int kTcpMaxRetransmitTime = 5;  // TCP_MAXRT

std::optional<SocketError> applySilenceLimits(SocketHandle socket, const SilenceLimits& limits) {
  std::optional<SocketError> failure;
  const auto failed = [&](const char* name) {
    if (!failure) {
      failure = errors::posix(lastSocketError(), std::string("Error in setsockopt(") + name + ")");
    }
  };
  // Keepalive on, with its idle time and interval; the number of probes is the system's own.
  tcp_keepalive keepAlive{};
  keepAlive.onoff = 1;
  keepAlive.keepalivetime =
      static_cast<ULONG>(std::chrono::milliseconds(limits.keepAliveIdle).count());
  keepAlive.keepaliveinterval =
      static_cast<ULONG>(std::chrono::milliseconds(limits.keepAliveInterval).count());
  DWORD returned = 0;
  if (::WSAIoctl(native(socket), SIO_KEEPALIVE_VALS, &keepAlive, sizeof keepAlive, nullptr, 0,
                 &returned, nullptr, nullptr) != 0) {
    failed("SIO_KEEPALIVE_VALS");
  }
  const DWORD seconds = static_cast<DWORD>(
      std::chrono::ceil<std::chrono::seconds>(limits.unacknowledgedTimeout).count());
  if (::setsockopt(native(socket), IPPROTO_TCP, kTcpMaxRetransmitTime,
                   reinterpret_cast<const char*>(&seconds), sizeof seconds) != 0) {
    failed("TCP_MAXRT");
  }
  return failure;
}

std::optional<SocketError> setResetOnClose(SocketHandle socket) {
  const linger hard{1, 0};  // on, with no time to send what is left: closing resets
  if (::setsockopt(native(socket), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&hard),
                   sizeof hard) == 0) {
    return std::nullopt;
  }
  return errors::posix(lastSocketError(), "Error in setsockopt(SO_LINGER)");
}

int bindTo(SocketHandle socket, const SocketAddress& local) noexcept {
  if (local.port() != 0) {
    BOOL on = TRUE;
    ::setsockopt(native(socket), SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&on),
                 sizeof on);
  }
  return ::bind(native(socket), local.get(), static_cast<int>(local.length)) == 0
             ? 0
             : lastSocketError();
}

int startConnect(SocketHandle socket, const SocketAddress& remote) noexcept {
  if (::connect(native(socket), remote.get(), static_cast<int>(remote.length)) == 0) return 0;
  // A non-blocking connect() on Windows "would block" where POSIX says "in progress".
  const int error = lastSocketError();
  return error == EWOULDBLOCK ? EINPROGRESS : error;
}

int connectOutcome(SocketHandle socket) noexcept {
  int error = 0;
  int length = sizeof error;
  if (::getsockopt(native(socket), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error),
                   &length) != 0) {
    return lastSocketError();
  }
  return posixCode(error);
}

std::optional<SocketAddress> peerAddress(SocketHandle socket) noexcept {
  sockaddr_storage storage{};
  int length = sizeof storage;
  if (::getpeername(native(socket), reinterpret_cast<sockaddr*>(&storage), &length) != 0) {
    return std::nullopt;
  }
  return SocketAddress::from(reinterpret_cast<sockaddr*>(&storage),
                             static_cast<std::size_t>(length));
}

std::ptrdiff_t receive(SocketHandle socket, void* buffer, std::size_t length, bool peek) noexcept {
  const int count = static_cast<int>(std::min<std::size_t>(length, INT_MAX));
  return ::recv(native(socket), static_cast<char*>(buffer), count, peek ? MSG_PEEK : 0);
}

std::ptrdiff_t send(SocketHandle socket, const void* buffer, std::size_t length) noexcept {
  const int count = static_cast<int>(std::min<std::size_t>(length, INT_MAX));
  return ::send(native(socket), static_cast<const char*>(buffer), count, 0);
}

std::size_t bytesAvailable(SocketHandle socket) noexcept {
  u_long available = 0;
  if (::ioctlsocket(native(socket), FIONREAD, &available) != 0) return 0;
  return available;
}

std::span<const Wait> writableWaits() noexcept {
  // select() reports a failed connect() among the exceptions, not as writable.
  static constexpr std::array kWaits{Wait::write, Wait::error};
  return kWaits;
}

bool waitReady(SocketHandle socket, Wait wait, int milliseconds) noexcept {
  WSAPOLLFD entry{native(socket), static_cast<SHORT>(wait == Wait::read ? POLLIN : POLLOUT), 0};
  return ::WSAPoll(&entry, 1, milliseconds) > 0;
}

InterfaceAddresses interfaceAddresses(std::string_view name) {
  InterfaceAddresses addresses;
  // The list's size is known only by asking; it may grow between the two calls.
  ULONG size = 16 * 1024;
  std::vector<std::byte> buffer;
  ULONG result = ERROR_BUFFER_OVERFLOW;
  for (int attempt = 0; attempt < 3 && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
    buffer.resize(size);
    result = ::GetAdaptersAddresses(
        AF_UNSPEC, GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER,
        nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
  }
  if (result != NO_ERROR) return addresses;
  for (auto* adapter = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.data());
       adapter != nullptr; adapter = adapter->Next) {
    // By its name in the settings ("Ethernet") or its system name (a GUID).
    if (name != utf8(adapter->FriendlyName) && name != adapter->AdapterName) continue;
    for (auto* unicast = adapter->FirstUnicastAddress; unicast != nullptr;
         unicast = unicast->Next) {
      const SOCKET_ADDRESS& address = unicast->Address;
      const int family = address.lpSockaddr->sa_family;
      auto& slot = family == AF_INET ? addresses.ipv4 : addresses.ipv6;
      if ((family == AF_INET || family == AF_INET6) && !slot) {
        slot = SocketAddress::from(address.lpSockaddr,
                                   static_cast<std::size_t>(address.iSockaddrLength));
        slot->setPort(0);
      }
    }
  }
  return addresses;
}

void nameThisThread(const char* name) noexcept {
  ::pthread_setname_np(::pthread_self(), name);
}

std::tm calendarTime(std::time_t seconds, bool utc) noexcept {
  std::tm parts{};
  if (utc) {
    ::gmtime_s(&parts, &seconds);
  } else {
    ::localtime_s(&parts, &seconds);
  }
  return parts;
}

}  // namespace tempik::net::platform
