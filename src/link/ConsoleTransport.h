#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tempik::link {

/// The outcome of a connection attempt: nothing when not connected (bad host or port,
/// failed, timed out or overtaken), false for a new connection, true when already
/// connected to that host and port.
using ConnectOutcome = std::optional<bool>;

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
  virtual void disconnect(std::function<void()> completion) = 0;
  virtual void send(std::string address, std::vector<std::string> arguments,
                    std::function<void(std::optional<SendError>)> completion) = 0;
  virtual void setReceiveHandler(ReceiveHandler handler, std::function<void()> completion) = 0;
};

}  // namespace tempik::link
