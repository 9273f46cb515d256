#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "link/LengthHeaderStreamDecoder.h"
#include "link/OSCTCPFraming.h"
#include "link/SlipStreamDecoder.h"
#include "net/AsyncSocket.h"
#include "net/SerialQueue.h"
#include "net/SilenceLimits.h"
#include "net/SocketError.h"
#include "osc/OSCBundle.h"
#include "osc/OSCMessage.h"
#include "osc/OSCPacket.h"
#include "osc/OSCPacketView.h"
#include "osc/OSCTimeTag.h"

namespace tempik::link {

/// Whether the time tags of received bundles delay delivery.
enum class OSCTimeTagMode {
  osc1_0,  ///< messages of a bundle tagged in the future are delivered at that time
  ignore,  ///< everything is delivered at once
};

class OSCTCPClientDelegate;

/// Sends and receives OSC packets over one outgoing TCP connection.
///
/// Runs on its queue: the socket's callbacks, the handlers and every delivery happen there,
/// one at a time. Any thread may call connect, close, send, the handler setters and
/// isConnected. Received bytes go through one stream decoder per connection, so a packet split
/// over several reads is still delivered, and a malformed frame costs only itself.
class OSCTCPClient : public std::enable_shared_from_this<OSCTCPClient> {
 public:
  struct Notification {
    enum class Kind { connected, disconnected };
    Kind kind = Kind::connected;
    /// For disconnected: the socket's own error, if any; none for a close by the peer.
    std::optional<net::AsyncSocketError> error;
    /// For disconnected: the error as the socket reported it, of any domain (a reset, a
    /// refusal, the peer's close), so that the owner can tell why.
    std::optional<net::SocketError> cause;

    static Notification connected() { return {Kind::connected, std::nullopt, std::nullopt}; }
    static Notification disconnected(std::optional<net::AsyncSocketError> error,
                                     std::optional<net::SocketError> cause = std::nullopt) {
      return {Kind::disconnected, std::move(error), std::move(cause)};
    }
    bool operator==(const Notification&) const = default;
  };

  using ReceiveHandler =
      std::function<void(const osc::OSCMessage& message, const osc::OSCTimeTag& timeTag,
                         const std::string& remoteHost, std::uint16_t remotePort)>;
  /// Gets each message read in place; the view is valid only during the call.
  using MessageViewHandler =
      std::function<void(const osc::OSCMessageView& message, const osc::OSCTimeTag& timeTag,
                         const std::string& remoteHost, std::uint16_t remotePort)>;
  using NotificationHandler = std::function<void(const Notification& notification)>;

  /// Without a queue the client makes its own, labelled "<prefix>osc.OSCTCPClient.queue".
  static std::shared_ptr<OSCTCPClient> create(std::string remoteHost, std::uint16_t remotePort,
                                              std::optional<std::string> localInterface,
                                              OSCTimeTagMode timeTagMode,
                                              OSCTCPFramingMode framingMode,
                                              std::shared_ptr<net::SerialQueue> queue = nullptr,
                                              ReceiveHandler receiveHandler = {});
  OSCTCPClient(const OSCTCPClient&) = delete;
  OSCTCPClient& operator=(const OSCTCPClient&) = delete;
  /// Asks the socket to disconnect once queued writes are done.
  ~OSCTCPClient();

  /// Starts connecting with a time-out of at least one second; the outcome arrives as a
  /// notification. Returns the socket's error when the attempt cannot even start.
  std::optional<net::SocketError> connect(double timeout);
  /// Disconnects once queued writes are done.
  void close();
  /// Disconnects at once with a reset, throwing away what is still queued for the peer.
  void abort();
  /// How long the connection may go silent before it counts as lost (none by default); set
  /// before connecting.
  void setSilenceLimits(std::optional<net::SilenceLimits> limits);
  /// Encodes, frames and queues the packet for writing; returns at once.
  /// Throws osc::OSCEncodeError, and then writes nothing.
  void send(const osc::OSCMessage& message);
  void send(const osc::OSCBundle& bundle);
  void send(const osc::OSCPacket& packet);

  /// Replace a handler (an empty one removes it). The change is queued on the client's queue;
  /// run an empty job synchronously on the queue to be sure it is in place.
  void setReceiveHandler(ReceiveHandler handler);
  /// Like setReceiveHandler, for a handler that reads messages in place: received messages are
  /// then decoded into owned values only when a ReceiveHandler is set too.
  void setMessageViewHandler(MessageViewHandler handler);
  void setNotificationHandler(NotificationHandler handler);

  bool isConnected() const;

  const std::string& remoteHost() const { return remoteHost_; }
  std::uint16_t remotePort() const { return remotePort_; }
  const std::optional<std::string>& localInterface() const { return localInterface_; }
  OSCTCPFramingMode framingMode() const { return framingMode_; }
  /// Any thread; applies to bundles received afterwards.
  OSCTimeTagMode timeTagMode() const { return timeTagMode_.load(); }
  void setTimeTagMode(OSCTimeTagMode mode) { timeTagMode_.store(mode); }
  const std::shared_ptr<net::SerialQueue>& queue() const { return queue_; }

 private:
  struct Key {};

 public:
  OSCTCPClient(Key, std::string remoteHost, std::uint16_t remotePort,
               std::optional<std::string> localInterface, OSCTimeTagMode timeTagMode,
               OSCTCPFramingMode framingMode, std::shared_ptr<net::SerialQueue> queue,
               ReceiveHandler receiveHandler);

 private:
  friend class OSCTCPClientDelegate;

  // On the client's queue.
  void didConnect(const std::string& host, std::uint16_t port);
  void didDisconnect(const std::optional<net::SocketError>& error);
  void handleChunk(ByteView chunk);
  void handleFrame(ByteView frame);
  void dispatch(const osc::OSCPacketView& packet, std::optional<osc::OSCTimeTag> timeTag);
  void deliver(const osc::OSCMessageView& message, const osc::OSCTimeTag& timeTag);
  void writeFramed(const Bytes& packet);

  const std::string remoteHost_;
  const std::uint16_t remotePort_;
  const std::optional<std::string> localInterface_;
  const OSCTCPFramingMode framingMode_;
  std::atomic<OSCTimeTagMode> timeTagMode_;
  std::shared_ptr<net::SerialQueue> queue_;
  std::shared_ptr<OSCTCPClientDelegate> delegate_;
  std::shared_ptr<net::AsyncSocket> socket_;

  // Owned by the client's queue.
  ReceiveHandler receiveHandler_;
  MessageViewHandler messageViewHandler_;
  NotificationHandler notificationHandler_;
  SlipStreamDecoder slipDecoder_;
  LengthHeaderStreamDecoder lengthDecoder_;
  std::string connectedHost_;
  std::uint16_t connectedPort_ = 0;
};

}  // namespace tempik::link
