#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "net/SocketError.h"

namespace tempik::net {

class AsyncSocket;

/// Receives an AsyncSocket's results. Every method runs on the socket's delegate queue, posted
/// there, never inside the call that caused it, so a method may call back into the socket.
/// Each method is optional: the defaults do nothing. The socket holds its delegate weakly and
/// skips callbacks once it is gone.
class AsyncSocketDelegate {
 public:
  virtual ~AsyncSocketDelegate() = default;

  /// The connection is up; host is the peer's numeric address.
  virtual void socketDidConnectToHost(AsyncSocket& socket, const std::string& host,
                                      std::uint16_t port) {
    (void)socket, (void)host, (void)port;
  }

  /// The socket closed, or an attempt ended. error is empty for a requested close. socket is
  /// null when the socket is being (or has been) destroyed. Called exactly once per started
  /// connection attempt.
  virtual void socketDidDisconnect(AsyncSocket* socket, const std::optional<SocketError>& error) {
    (void)socket, (void)error;
  }

  /// The peer closed its side while the socket is set to stay open for writing.
  virtual void socketDidCloseReadStream(AsyncSocket& socket) { (void)socket; }

  /// A read completed with these bytes (at least one).
  virtual void socketDidReadData(AsyncSocket& socket, const std::vector<std::uint8_t>& data,
                                 std::int64_t tag) {
    (void)socket, (void)data, (void)tag;
  }

  /// A write completed: every byte was handed to the system.
  virtual void socketDidWriteData(AsyncSocket& socket, std::int64_t tag) {
    (void)socket, (void)tag;
  }

  /// Part of a write was handed to the system; length is the part just written.
  virtual void socketDidWritePartialDataOfLength(AsyncSocket& socket, std::size_t length,
                                                 std::int64_t tag) {
    (void)socket, (void)length, (void)tag;
  }

  /// A read timed out. Return more seconds (> 0) to extend it; 0 closes with code 4.
  virtual double socketShouldTimeoutRead(AsyncSocket& socket, std::int64_t tag, double elapsed,
                                         std::size_t bytesDone) {
    (void)socket, (void)tag, (void)elapsed, (void)bytesDone;
    return 0;
  }

  /// A write timed out. Return more seconds (> 0) to extend it; 0 closes with code 5.
  virtual double socketShouldTimeoutWrite(AsyncSocket& socket, std::int64_t tag, double elapsed,
                                          std::size_t bytesDone) {
    (void)socket, (void)tag, (void)elapsed, (void)bytesDone;
    return 0;
  }
};

}  // namespace tempik::net
