#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tempik::link {

/// Why the console is not connected, in terms an operator can act on.
enum class LinkProblem {
  badAddress,          ///< the host is no address or name, or the port is out of range
  refused,             ///< the host answered, but nothing listens on the console's port
  noAnswer,            ///< nothing answered within the connect time-out
  hostNotFound,        ///< the host name does not resolve
  networkUnreachable,  ///< no route to the host or its network
  closedByConsole,     ///< the console ended the connection
  resetByConsole,      ///< the console reset the connection, as a crashed console does
  stalled,             ///< the console stopped answering: the link was given up
  superseded,          ///< a newer attempt started before this one ended
  failed,              ///< any other failure: the detail says which
};

/// No connection, and why; `detail` is the system's own text for the log (may be empty).
struct LinkDown {
  LinkProblem problem = LinkProblem::failed;
  std::string detail;
  friend bool operator==(const LinkDown&, const LinkDown&) = default;
};
/// A connection made by this attempt.
struct NewConnection {
  friend bool operator==(NewConnection, NewConnection) = default;
};
/// Already connected to that host and port: nothing was done.
struct SameConnection {
  friend bool operator==(SameConnection, SameConnection) = default;
};

/// The outcome of a connection attempt.
using ConnectOutcome = std::variant<LinkDown, NewConnection, SameConnection>;

[[nodiscard]] inline bool isConnected(const ConnectOutcome& outcome) {
  return !std::holds_alternative<LinkDown>(outcome);
}

enum class EosOscTransportError { notConnected };

/// Why a send failed: no connected client, or a message the codec could not encode.
struct SendError {
  enum class Kind { notConnected, encoding };
  Kind kind = Kind::notConnected;
  std::string description;
};

/// Receives every console message as its address and its string arguments, in order.
/// Called on a connection's own queue, never on the caller's executor.
using ReceiveHandler =
    std::function<void(const std::string& address, const std::vector<std::string>& arguments)>;

/// Hears that the current connection ended by itself (the console closed or reset it, or it
/// failed), with why. Called on the completion executor.
using LinkDownHandler = std::function<void(const LinkDown& why)>;

/// Posts a job to the executor that completions must run on.
using CompletionExecutor = std::function<void(std::function<void()>)>;

/// The controller's path to the console. Every operation returns at once; its completion
/// (which may be empty) is posted to the completion executor the transport was given, never
/// called inside the call that started it. Operations may be called from any thread.
class ConsoleTransport {
 public:
  virtual ~ConsoleTransport() = default;

  virtual void connect(std::string host, std::int64_t port,
                       std::function<void(ConnectOutcome)> completion) = 0;
  /// Closes the current connection once what is queued for the console is written.
  virtual void disconnect(std::function<void()> completion) = 0;
  /// Drops the current connection at once with a reset: what is still queued for the console
  /// is thrown away, so a console that was not reading never gets it.
  virtual void abort(std::function<void()> completion) = 0;
  virtual void send(std::string address, std::vector<std::string> arguments,
                    std::function<void(std::optional<SendError>)> completion) = 0;
  virtual void setReceiveHandler(ReceiveHandler handler, std::function<void()> completion) = 0;
  /// Not called for the transport's own disconnect, abort or replacement of a connection.
  virtual void setLinkDownHandler(LinkDownHandler handler, std::function<void()> completion) = 0;
};

}  // namespace tempik::link
