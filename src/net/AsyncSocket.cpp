#include "net/AsyncSocket.h"

#include "net/Platform.h"

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

AsyncSocket::~AsyncSocket() {
  socketQueue_->sync([this] {
    flags_ |= kDealloc;
    closeWithError(std::nullopt);
  });
}

// --- Queries and requests: hop onto the socket queue -------------------------------------------

void AsyncSocket::disconnect() {
  socketQueue_->sync([this] { closeWithError(std::nullopt); });
}

void AsyncSocket::abort() {
  socketQueue_->sync([this] {
    // Should the system refuse, the close below is an orderly one: still a close.
    if (const auto fd = connectedDescriptor(); fd != platform::kNoSocket) {
      (void)platform::setResetOnClose(fd);
    }
    closeWithError(std::nullopt);
  });
}

// A request holds the socket until it has been taken in, as a caller that asks for a graceful
// close and lets go at once expects.
void AsyncSocket::disconnectAfterReading() {
  socketQueue_->async(
      [self = shared_from_this()] { self->disconnectAfter(kDisconnectAfterReads); });
}

void AsyncSocket::disconnectAfterWriting() {
  socketQueue_->async(
      [self = shared_from_this()] { self->disconnectAfter(kDisconnectAfterWrites); });
}

void AsyncSocket::disconnectAfterReadingAndWriting() {
  socketQueue_->async([self = shared_from_this()] {
    self->disconnectAfter(kDisconnectAfterReads | kDisconnectAfterWrites);
  });
}

bool AsyncSocket::isConnected() const {
  return socketQueue_->sync([this] { return (flags_ & kConnected) != 0; });
}

bool AsyncSocket::isDisconnected() const {
  return socketQueue_->sync([this] { return (flags_ & kStarted) == 0; });
}

std::optional<SocketAddress> AsyncSocket::peerAddress() const {
  const auto fd = connectedDescriptor();
  if (fd == platform::kNoSocket) return std::nullopt;
  return platform::peerAddress(fd);
}

std::optional<std::string> AsyncSocket::connectedHost() const {
  return socketQueue_->sync([this]() -> std::optional<std::string> {
    auto address = peerAddress();
    if (!address) return std::nullopt;
    return address->host();
  });
}

std::uint16_t AsyncSocket::connectedPort() const {
  return socketQueue_->sync([this]() -> std::uint16_t {
    auto address = peerAddress();
    return address ? address->port() : 0;
  });
}

void AsyncSocket::readDataWithTimeout(double timeout, std::int64_t tag) {
  ReadPacket packet;
  packet.timeout = timeout;
  packet.tag = tag;
  socketQueue_->async([self = shared_from_this(), packet = std::move(packet)]() mutable {
    self->queueRead(std::move(packet));
  });
}

void AsyncSocket::writeData(Bytes data, double timeout, std::int64_t tag) {
  if (data.empty()) return;
  WritePacket packet;
  packet.buffer = std::move(data);
  packet.timeout = timeout;
  packet.tag = tag;
  socketQueue_->async([self = shared_from_this(), packet = std::move(packet)]() mutable {
    self->queueWrite(std::move(packet));
  });
}

// --- Configuration ------------------------------------------------------------------------------

namespace {
template <class Bits>
void setBit(Bits& bits, Bits bit, bool on) {
  bits = on ? static_cast<Bits>(bits | bit) : static_cast<Bits>(bits & ~bit);
}
}  // namespace

bool AsyncSocket::isIPv4Enabled() const {
  return socketQueue_->sync([this] { return (config_ & kIPv4Disabled) == 0; });
}

void AsyncSocket::setIPv4Enabled(bool enabled) {
  socketQueue_->async([self = shared_from_this(), enabled] {
    setBit<std::uint16_t>(self->config_, kIPv4Disabled, !enabled);
  });
}

bool AsyncSocket::isIPv6Enabled() const {
  return socketQueue_->sync([this] { return (config_ & kIPv6Disabled) == 0; });
}

void AsyncSocket::setIPv6Enabled(bool enabled) {
  socketQueue_->async([self = shared_from_this(), enabled] {
    setBit<std::uint16_t>(self->config_, kIPv6Disabled, !enabled);
  });
}

bool AsyncSocket::isIPv4PreferredOverIPv6() const {
  return socketQueue_->sync([this] { return (config_ & kPreferIPv6) == 0; });
}

void AsyncSocket::setIPv4PreferredOverIPv6(bool preferred) {
  socketQueue_->async([self = shared_from_this(), preferred] {
    setBit<std::uint16_t>(self->config_, kPreferIPv6, !preferred);
  });
}

bool AsyncSocket::autoDisconnectOnClosedReadStream() const {
  return socketQueue_->sync([this] { return (config_ & kAllowHalfDuplex) == 0; });
}

void AsyncSocket::setAutoDisconnectOnClosedReadStream(bool enabled) {
  socketQueue_->async([self = shared_from_this(), enabled] {
    setBit<std::uint16_t>(self->config_, kAllowHalfDuplex, !enabled);
  });
}

double AsyncSocket::alternateAddressDelay() const {
  return socketQueue_->sync([this] { return alternateAddressDelay_; });
}

void AsyncSocket::setAlternateAddressDelay(double seconds) {
  socketQueue_->async(
      [self = shared_from_this(), seconds] { self->alternateAddressDelay_ = seconds; });
}

void AsyncSocket::setSilenceLimits(std::optional<SilenceLimits> limits) {
  socketQueue_->async([self = shared_from_this(), limits] { self->silenceLimits_ = limits; });
}

void AsyncSocket::setTextLookup(TextLookup lookup) {
  socketQueue_->async([self = shared_from_this(), lookup = std::move(lookup)]() mutable {
    self->textLookup_ = std::move(lookup);
  });
}

// --- Closing ------------------------------------------------------------------------------------

void AsyncSocket::closeWithError(std::optional<SocketError> error) {
  endConnectTimeout();
  readTimer_.cancel();
  writeTimer_.cancel();
  currentRead_.reset();
  currentWrite_.reset();
  readQueue_.clear();
  writeQueue_.clear();
  socketFDBytesAvailable_ = 0;

  // Each descriptor has exactly one owner here; dropping it closes it.
  sources_.reset();
  attempt4_.reset();
  attempt6_.reset();

  const bool wasStarted = (flags_ & kStarted) != 0;
  const bool destroying = (flags_ & kDealloc) != 0;
  flags_ = destroying ? std::uint32_t{kDealloc} : 0u;
  if (wasStarted) notifyDisconnect(std::move(error));
}

void AsyncSocket::notifyDisconnect(std::optional<SocketError> error) {
  // Once the socket is gone the delegate still hears of the close, with no socket.
  std::weak_ptr<AsyncSocket> socket;
  if ((flags_ & kDealloc) == 0) socket = weak_from_this();
  delegateQueue_->async([socket, delegate = delegate_, error = std::move(error)] {
    auto target = delegate.lock();
    if (!target) return;
    auto self = socket.lock();
    target->socketDidDisconnect(self.get(), error);
  });
}

}  // namespace tempik::net
