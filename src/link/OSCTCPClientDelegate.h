#pragma once

#include <memory>

#include "net/AsyncSocketDelegate.h"

namespace tempik::link {

class OSCTCPClient;

/// The socket's delegate for one OSCTCPClient. Holds its client weakly, so the socket never
/// keeps the client alive, and does nothing once the client is gone, except keeping one read
/// outstanding while connected. Runs on the client's queue.
class OSCTCPClientDelegate : public net::AsyncSocketDelegate {
 public:
  explicit OSCTCPClientDelegate(std::weak_ptr<OSCTCPClient> oscServer)
      : oscServer_(std::move(oscServer)) {}

  void socketDidConnectToHost(net::AsyncSocket& socket, const std::string& host,
                              std::uint16_t port) override;
  void socketDidDisconnect(net::AsyncSocket* socket,
                           const std::optional<net::SocketError>& error) override;
  void socketDidReadData(net::AsyncSocket& socket, const std::vector<std::uint8_t>& data,
                         std::int64_t tag) override;

 private:
  const std::weak_ptr<OSCTCPClient> oscServer_;
};

}  // namespace tempik::link
