#include "link/OSCTCPClient.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "link/OSCTCPClientDelegate.h"
#include "osc/OSCErrors.h"

namespace tempik::link {

namespace {

constexpr double kMinimumConnectTimeout = 1.0;

// A carried SLIP frame counts as complete when it is one OSC message and nothing more: a
// prefix of a longer message cannot decode, and re-encoding shows no bytes beyond its end.
// Bundles wait for their END, since a bundle cut at an element boundary would still decode.
bool isWholeOSCMessage(ByteView frame) {
  if (!osc::OSCMessage::appearsToBeOSCMessage(frame)) return false;
  try {
    const auto message = osc::OSCMessage::decode(frame);
    std::vector<std::uint8_t> canonical;
    osc::OSCMessageEncoder::encode(message, canonical);
    return canonical.size() == frame.size();
  } catch (const osc::OSCDecodeError&) {
    return false;
  } catch (const osc::OSCEncodeError&) {
    return false;
  }
}

// The packet in `frame`, or nothing when it is not one: undecodable input is dropped without
// report. Returned as decoded, never copied.
std::optional<osc::OSCPacketView> readPacket(ByteView frame) {
  try {
    return osc::OSCPacketView::decode(frame);
  } catch (const osc::OSCDecodeError&) {
    return std::nullopt;
  }
}

}  // namespace

std::shared_ptr<OSCTCPClient> OSCTCPClient::create(std::string remoteHost, std::uint16_t remotePort,
                                                   std::optional<std::string> localInterface,
                                                   OSCTimeTagMode timeTagMode,
                                                   OSCTCPFramingMode framingMode,
                                                   std::shared_ptr<net::SerialQueue> queue,
                                                   ReceiveHandler receiveHandler) {
  if (!queue) queue = net::SerialQueue::create("io.github.tempik.osc.OSCTCPClient.queue");
  auto client = std::make_shared<OSCTCPClient>(Key{}, std::move(remoteHost), remotePort,
                                               std::move(localInterface), timeTagMode, framingMode,
                                               std::move(queue), std::move(receiveHandler));
  client->delegate_ = std::make_shared<OSCTCPClientDelegate>(client);
  client->socket_ = net::AsyncSocket::create(client->delegate_, client->queue_);
  return client;
}

OSCTCPClient::OSCTCPClient(Key, std::string remoteHost, std::uint16_t remotePort,
                           std::optional<std::string> localInterface, OSCTimeTagMode timeTagMode,
                           OSCTCPFramingMode framingMode, std::shared_ptr<net::SerialQueue> queue,
                           ReceiveHandler receiveHandler)
    : remoteHost_(std::move(remoteHost)),
      remotePort_(remotePort),
      localInterface_(std::move(localInterface)),
      framingMode_(framingMode),
      timeTagMode_(timeTagMode),
      queue_(std::move(queue)),
      receiveHandler_(std::move(receiveHandler)),
      slipDecoder_(isWholeOSCMessage) {}

OSCTCPClient::~OSCTCPClient() {
  if (socket_) socket_->disconnectAfterWriting();
}

std::optional<net::SocketError> OSCTCPClient::connect(double timeout) {
  // NaN fails the comparison and gets the minimum too.
  const double bounded = timeout > kMinimumConnectTimeout ? timeout : kMinimumConnectTimeout;
  net::SocketError error;
  if (!socket_->connectToHost(remoteHost_, remotePort_, localInterface_, bounded, error))
    return error;
  return std::nullopt;
}

void OSCTCPClient::close() {
  socket_->disconnectAfterWriting();
}

void OSCTCPClient::abort() {
  socket_->abort();
}

void OSCTCPClient::setSilenceLimits(std::optional<net::SilenceLimits> limits) {
  socket_->setSilenceLimits(limits);
}

void OSCTCPClient::send(const osc::OSCMessage& message) {
  writeFramed(message.rawData());
}
void OSCTCPClient::send(const osc::OSCBundle& bundle) {
  writeFramed(bundle.rawData());
}
void OSCTCPClient::send(const osc::OSCPacket& packet) {
  writeFramed(packet.rawData());
}

void OSCTCPClient::writeFramed(const Bytes& packet) {
  socket_->writeData(frame(framingMode_, packet), net::AsyncSocket::kNoTimeout, 0);
}

void OSCTCPClient::setReceiveHandler(ReceiveHandler handler) {
  queue_->async([weak = weak_from_this(), handler = std::move(handler)]() mutable {
    if (auto self = weak.lock()) self->receiveHandler_ = std::move(handler);
  });
}

void OSCTCPClient::setMessageViewHandler(MessageViewHandler handler) {
  queue_->async([weak = weak_from_this(), handler = std::move(handler)]() mutable {
    if (auto self = weak.lock()) self->messageViewHandler_ = std::move(handler);
  });
}

void OSCTCPClient::setNotificationHandler(NotificationHandler handler) {
  queue_->async([weak = weak_from_this(), handler = std::move(handler)]() mutable {
    if (auto self = weak.lock()) self->notificationHandler_ = std::move(handler);
  });
}

bool OSCTCPClient::isConnected() const {
  return socket_->isConnected();
}

void OSCTCPClient::didConnect(const std::string& host, std::uint16_t port) {
  // A new connection starts a new stream.
  slipDecoder_ = SlipStreamDecoder(isWholeOSCMessage);
  lengthDecoder_ = LengthHeaderStreamDecoder();
  connectedHost_ = host;
  connectedPort_ = port;
  if (notificationHandler_) notificationHandler_(Notification::connected());
}

void OSCTCPClient::didDisconnect(const std::optional<net::SocketError>& error) {
  std::optional<net::AsyncSocketError> kept;
  if (error) {
    kept = net::AsyncSocketError::from(*error);
    if (kept && kept->code() == net::AsyncSocketErrorCode::closed) kept.reset();
  }
  if (notificationHandler_) {
    notificationHandler_(Notification::disconnected(std::move(kept), error));
  }
}

void OSCTCPClient::handleChunk(ByteView chunk) {
  switch (framingMode_) {
    case OSCTCPFramingMode::osc1_1:
      slipDecoder_.feed(chunk, [this](ByteView frame) { handleFrame(frame); });
      break;
    case OSCTCPFramingMode::osc1_0:
      if (!lengthDecoder_.feed(chunk, [this](ByteView packet) { handleFrame(packet); })) {
        // No way to find the next packet in this stream.
        socket_->disconnect();
      }
      break;
    case OSCTCPFramingMode::none:
      handleFrame(chunk);
      break;
  }
}

void OSCTCPClient::handleFrame(ByteView frame) {
  // Read in place: only the handlers decide what to copy.
  if (const std::optional<osc::OSCPacketView> packet = readPacket(frame)) {
    dispatch(*packet, std::nullopt);
  }
}

void OSCTCPClient::dispatch(const osc::OSCPacketView& packet,
                            std::optional<osc::OSCTimeTag> timeTag) {
  if (const auto* bundle = packet.bundle()) {
    const osc::OSCTimeTag bundleTag = bundle->timeTag();
    for (const osc::OSCPacketView& element : *bundle) dispatch(element, bundleTag);
    return;
  }
  const osc::OSCMessageView& message = *packet.message();
  const osc::OSCTimeTag tag = timeTag.value_or(osc::OSCTimeTag::immediate());
  if (timeTagMode_.load(std::memory_order_relaxed) == OSCTimeTagMode::osc1_0 && timeTag &&
      tag.isFuture()) {
    const auto delay = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(std::max(0.0, tag.timeIntervalSinceNow())));
    // The frame is gone by then: the job keeps a copy of the message's bytes.
    queue_->asyncAfter(delay, [weak = weak_from_this(),
                               bytes = Bytes(message.bytes().begin(), message.bytes().end()), tag] {
      if (auto self = weak.lock()) self->deliver(osc::OSCMessageView::decode(bytes), tag);
    });
    return;
  }
  deliver(message, tag);
}

void OSCTCPClient::deliver(const osc::OSCMessageView& message, const osc::OSCTimeTag& timeTag) {
  if (messageViewHandler_) messageViewHandler_(message, timeTag, connectedHost_, connectedPort_);
  if (receiveHandler_) {
    // The view's checks are the owning decode's, so this decode cannot fail.
    receiveHandler_(osc::OSCMessage::decode(message.bytes()), timeTag, connectedHost_,
                    connectedPort_);
  }
}

}  // namespace tempik::link
