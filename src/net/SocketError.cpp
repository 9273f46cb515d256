#include "net/SocketError.h"

#include "net/Platform.h"
#include "net/SystemSockets.h"

namespace tempik::net {

std::optional<AsyncSocketError> AsyncSocketError::from(const SocketError& error) {
  if (error.domain != kAsyncSocketErrorDomain) return std::nullopt;
  if (error.code < static_cast<int>(AsyncSocketErrorCode::badConfig) ||
      error.code > static_cast<int>(AsyncSocketErrorCode::other)) {
    return std::nullopt;
  }
  return AsyncSocketError(static_cast<AsyncSocketErrorCode>(error.code), error);
}

namespace errors {

namespace {

SocketError own(AsyncSocketErrorCode code, std::string description) {
  return SocketError{std::string(kAsyncSocketErrorDomain), static_cast<int>(code),
                     std::move(description), std::nullopt};
}

SocketError localized(AsyncSocketErrorCode code, const TextLookup& lookup, std::string_view key,
                      std::string_view text) {
  return own(code, lookup ? lookup("AsyncSocket", key, text) : std::string(text));
}

}  // namespace

SocketError badConfig(std::string text) {
  return own(AsyncSocketErrorCode::badConfig, std::move(text));
}

SocketError badParam(std::string text) {
  return own(AsyncSocketErrorCode::badParam, std::move(text));
}

SocketError connectTimeout(const TextLookup& lookup) {
  return localized(AsyncSocketErrorCode::connectTimeout, lookup, "AsyncSocketConnectTimeoutError",
                   "Attempt to connect to host timed out");
}

SocketError readTimeout(const TextLookup& lookup) {
  return localized(AsyncSocketErrorCode::readTimeout, lookup, "AsyncSocketReadTimeoutError",
                   "Read operation timed out");
}

SocketError writeTimeout(const TextLookup& lookup) {
  return localized(AsyncSocketErrorCode::writeTimeout, lookup, "AsyncSocketWriteTimeoutError",
                   "Write operation timed out");
}

SocketError readMaxedOut(const TextLookup& lookup) {
  return localized(AsyncSocketErrorCode::readMaxedOut, lookup, "AsyncSocketReadMaxedOutError",
                   "Read operation reached set maximum length");
}

SocketError connectionClosed(const TextLookup& lookup) {
  return localized(AsyncSocketErrorCode::closed, lookup, "AsyncSocketClosedError",
                   "Socket closed by remote peer");
}

SocketError other(std::string text) {
  return own(AsyncSocketErrorCode::other, std::move(text));
}

SocketError posix(int errnoValue, std::string reason) {
  return SocketError{std::string(kPosixErrorDomain), errnoValue, platform::errnoText(errnoValue),
                     std::move(reason)};
}

SocketError netdb(int gaiCode) {
  return SocketError{std::string(kNetDBErrorDomain), gaiCode, ::gai_strerror(gaiCode),
                     std::nullopt};
}

}  // namespace errors

}  // namespace tempik::net
