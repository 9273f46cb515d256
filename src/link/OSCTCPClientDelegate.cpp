#include "link/OSCTCPClientDelegate.h"

#include "link/OSCTCPClient.h"
#include "net/AsyncSocket.h"

namespace tempik::link {

namespace {}

void OSCTCPClientDelegate::socketDidConnectToHost(net::AsyncSocket& socket, const std::string& host,
                                                  std::uint16_t port) {
  if (auto client = oscServer_.lock()) {
    client->didConnect(host, port);
    socket.readDataWithTimeout(net::AsyncSocket::kNoTimeout, 0);
  }
}

void OSCTCPClientDelegate::socketDidDisconnect(net::AsyncSocket* /*socket*/,
                                               const std::optional<net::SocketError>& error) {
  if (auto client = oscServer_.lock()) client->didDisconnect(error);
}

void OSCTCPClientDelegate::socketDidReadData(net::AsyncSocket& socket,
                                             const std::vector<std::uint8_t>& data,
                                             std::int64_t tag) {
  // Held until the next read is queued: releasing the client may release the socket.
  const auto client = oscServer_.lock();
  if (client) client->handleChunk(data);
  socket.readDataWithTimeout(net::AsyncSocket::kNoTimeout, tag);
}

}  // namespace tempik::link
