#include "net/AsyncSocket.h"

namespace tempik::net {

std::shared_ptr<AsyncSocket> AsyncSocket::create(std::weak_ptr<AsyncSocketDelegate> delegate,
                                                 std::shared_ptr<SerialQueue> delegateQueue,
                                                 std::shared_ptr<SerialQueue> socketQueue) {
  if (!socketQueue) socketQueue = SerialQueue::create("AsyncSocket");
  return std::make_shared<AsyncSocket>(Key{}, std::move(delegate), std::move(delegateQueue),
                                       std::move(socketQueue));
}

AsyncSocket::AsyncSocket(Key, std::weak_ptr<AsyncSocketDelegate> delegate,
                         std::shared_ptr<SerialQueue> delegateQueue,
                         std::shared_ptr<SerialQueue> socketQueue)
    : delegate_(std::move(delegate)),
      delegateQueue_(std::move(delegateQueue)),
      socketQueue_(std::move(socketQueue)) {}

AsyncSocket::~AsyncSocket() = default;

bool AsyncSocket::connectToHost(const std::string& host, std::uint16_t port, SocketError& error) {
  return connectToHost(host, port, std::nullopt, -1, error);
}

bool AsyncSocket::connectToHost(const std::string& host, std::uint16_t port, double timeout,
                                SocketError& error) {
  return connectToHost(host, port, std::nullopt, timeout, error);
}

bool AsyncSocket::connectToHost(const std::string&, std::uint16_t,
                                const std::optional<std::string>&, double, SocketError& error) {
  error = errors::other("not implemented yet");
  return false;
}

void AsyncSocket::disconnect() {}
void AsyncSocket::disconnectAfterReading() {}
void AsyncSocket::disconnectAfterWriting() {}
void AsyncSocket::disconnectAfterReadingAndWriting() {}
bool AsyncSocket::isConnected() const {
  return false;
}
bool AsyncSocket::isDisconnected() const {
  return true;
}
std::optional<std::string> AsyncSocket::connectedHost() const {
  return std::nullopt;
}
std::uint16_t AsyncSocket::connectedPort() const {
  return 0;
}
void AsyncSocket::readDataWithTimeout(double, std::int64_t) {}
void AsyncSocket::writeData(Bytes, double, std::int64_t) {}
bool AsyncSocket::isIPv4Enabled() const {
  return true;
}
void AsyncSocket::setIPv4Enabled(bool) {}
bool AsyncSocket::isIPv6Enabled() const {
  return true;
}
void AsyncSocket::setIPv6Enabled(bool) {}
bool AsyncSocket::isIPv4PreferredOverIPv6() const {
  return true;
}
void AsyncSocket::setIPv4PreferredOverIPv6(bool) {}
bool AsyncSocket::autoDisconnectOnClosedReadStream() const {
  return true;
}
void AsyncSocket::setAutoDisconnectOnClosedReadStream(bool) {}
double AsyncSocket::alternateAddressDelay() const {
  return alternateAddressDelay_;
}
void AsyncSocket::setAlternateAddressDelay(double) {}
void AsyncSocket::setTextLookup(TextLookup) {}

}  // namespace tempik::net
