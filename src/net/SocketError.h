#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tempik::net {

/// The socket's own error domain, the system's (errno) domain and the resolver's domain.
inline constexpr std::string_view kAsyncSocketErrorDomain = "AsyncSocketErrorDomain";
inline constexpr std::string_view kPosixErrorDomain = "NSPOSIXErrorDomain";
inline constexpr std::string_view kNetDBErrorDomain = "NetDBErrorDomain";

/// An error as the socket reports it: domain, code, description and, for failed system calls,
/// the call that failed ("Error in connect() function").
struct SocketError {
  std::string domain;
  int code = 0;
  std::string description;
  std::optional<std::string> failureReason;

  bool operator==(const SocketError&) const = default;
};

/// Codes of the socket's own domain.
enum class AsyncSocketErrorCode {
  badConfig = 1,
  badParam = 2,
  connectTimeout = 3,
  readTimeout = 4,
  writeTimeout = 5,
  readMaxedOut = 6,
  closed = 7,
  other = 8,
};

/// A SocketError known to belong to "AsyncSocketErrorDomain".
class AsyncSocketError {
 public:
  /// Nothing when error belongs to another domain.
  static std::optional<AsyncSocketError> from(const SocketError& error);

  AsyncSocketErrorCode code() const noexcept { return code_; }
  const SocketError& error() const noexcept { return error_; }
  const std::string& description() const noexcept { return error_.description; }

  bool operator==(const AsyncSocketError&) const = default;

 private:
  AsyncSocketError(AsyncSocketErrorCode code, SocketError error)
      : code_(code), error_(std::move(error)) {}

  AsyncSocketErrorCode code_;
  SocketError error_;
};

/// Looks up the localized text for key in table, or returns the default text. The socket asks
/// it for the fixed texts of codes 3 to 7 (table "AsyncSocket").
using TextLookup = std::function<std::string(std::string_view table, std::string_view key,
                                             std::string_view defaultText)>;

/// Builders of the socket's errors; lookup may be empty (the English texts are used).
namespace errors {
SocketError badConfig(std::string text);
SocketError badParam(std::string text);
SocketError connectTimeout(const TextLookup& lookup = {});
SocketError readTimeout(const TextLookup& lookup = {});
SocketError writeTimeout(const TextLookup& lookup = {});
SocketError readMaxedOut(const TextLookup& lookup = {});
SocketError connectionClosed(const TextLookup& lookup = {});
SocketError other(std::string text);
/// errno of a failed call, with reason such as "Error in read() function".
SocketError posix(int errnoValue, std::string reason);
/// A resolver failure (getaddrinfo's code).
SocketError netdb(int gaiCode);
}  // namespace errors

}  // namespace tempik::net
