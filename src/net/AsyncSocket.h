#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "net/AsyncSocketDelegate.h"
#include "net/HostResolution.h"
#include "net/OneShotTimer.h"
#include "net/ReadinessSources.h"
#include "net/SerialQueue.h"
#include "net/SilenceLimits.h"
#include "net/SocketAddress.h"
#include "net/SocketError.h"

namespace tempik::net {

/// An asynchronous TCP client socket. Requests return at once; results arrive as delegate
/// calls posted to the delegate queue. All state lives on the socket queue. Any thread may call
/// any member: queries, connect, disconnect and abort wait for the socket queue (inline when
/// already on it); reads, writes, disconnect-after requests and setters are posted there.
///
/// Owned through std::shared_ptr; destroying it closes the descriptor at once and drops the
/// callbacks still in flight (a disconnect still in flight arrives with a null socket).
class AsyncSocket : public std::enable_shared_from_this<AsyncSocket> {
 public:
  using Bytes = std::vector<std::uint8_t>;

  /// Without socketQueue the socket makes its own queue, labelled "AsyncSocket".
  static std::shared_ptr<AsyncSocket> create(std::weak_ptr<AsyncSocketDelegate> delegate,
                                             std::shared_ptr<SerialQueue> delegateQueue,
                                             std::shared_ptr<SerialQueue> socketQueue = nullptr);
  AsyncSocket(const AsyncSocket&) = delete;
  AsyncSocket& operator=(const AsyncSocket&) = delete;
  ~AsyncSocket();

  /// Any negative timeout never times out; this one says so by name.
  static constexpr double kNoTimeout = -1;

  // Connecting. A negative timeout never times out. On false, error says why and nothing
  // started; otherwise the outcome arrives as socketDidConnectToHost or socketDidDisconnect.
  bool connectToHost(const std::string& host, std::uint16_t port, SocketError& error);
  bool connectToHost(const std::string& host, std::uint16_t port, double timeout,
                     SocketError& error);
  /// viaInterface: a local IPv4 or IPv6 address, or an interface name such as "eth0".
  bool connectToHost(const std::string& host, std::uint16_t port,
                     const std::optional<std::string>& viaInterface, double timeout,
                     SocketError& error);

  /// Closes at once, without error.
  void disconnect();
  /// Closes at once with a reset, without error: unlike disconnect(), writes still queued or
  /// partly sent are dropped rather than delivered, and the peer's next read fails with
  /// "connection reset" instead of seeing the end of the stream. For a peer that must not take
  /// an unfinished exchange for a finished one. Waits for the socket queue like disconnect();
  /// does nothing when nothing is connected or connecting.
  void abort();
  /// Forbid further requests and close, without error, once queued reads, writes or both are
  /// done.
  void disconnectAfterReading();
  void disconnectAfterWriting();
  void disconnectAfterReadingAndWriting();

  bool isConnected() const;
  bool isDisconnected() const;
  /// The peer's numeric address and port; nothing and 0 when not connected.
  std::optional<std::string> connectedHost() const;
  std::uint16_t connectedPort() const;

  /// Queues a read of whatever bytes are available (socketDidReadData).
  void readDataWithTimeout(double timeout, std::int64_t tag);
  /// Queues a write; an empty buffer is ignored.
  void writeData(Bytes data, double timeout, std::int64_t tag);

  // Configuration.
  bool isIPv4Enabled() const;
  void setIPv4Enabled(bool enabled);
  bool isIPv6Enabled() const;
  void setIPv6Enabled(bool enabled);
  bool isIPv4PreferredOverIPv6() const;
  void setIPv4PreferredOverIPv6(bool preferred);
  bool autoDisconnectOnClosedReadStream() const;
  void setAutoDisconnectOnClosedReadStream(bool enabled);
  /// Seconds before the second address family is tried (0.3 by default).
  double alternateAddressDelay() const;
  void setAlternateAddressDelay(double seconds);
  /// How long the connection may stay silent before the system ends it and the socket reports a
  /// disconnect with the system's error (ETIMEDOUT). Applied when a connection is made, so it
  /// takes effect from the next connection. Unset by default: the system's own limits, which
  /// notice a vanished peer only after many minutes, if ever. Where the system refuses an option
  /// the connection goes on without it. Any thread; posted to the socket queue like every setter.
  void setSilenceLimits(std::optional<SilenceLimits> limits);
  /// Where the fixed texts of codes 3 to 7 come from; English when unset.
  void setTextLookup(TextLookup lookup);

  const std::shared_ptr<SerialQueue>& socketQueue() const noexcept { return socketQueue_; }
  const std::shared_ptr<SerialQueue>& delegateQueue() const noexcept { return delegateQueue_; }
  bool isOnSocketQueue() const noexcept { return socketQueue_->isCurrent(); }

 private:
  struct Key {};

 public:
  AsyncSocket(Key, std::weak_ptr<AsyncSocketDelegate> delegate,
              std::shared_ptr<SerialQueue> delegateQueue, std::shared_ptr<SerialQueue> socketQueue);

 private:
  enum Flag : std::uint32_t {
    kStarted = 1u << 0,
    kConnected = 1u << 1,
    kForbidReadsWrites = 1u << 2,
    kReadsPaused = 1u << 3,
    kWritesPaused = 1u << 4,
    kDisconnectAfterReads = 1u << 5,
    kDisconnectAfterWrites = 1u << 6,
    kSocketCanAcceptBytes = 1u << 7,
    kReadSourceSuspended = 1u << 8,
    kWriteSourceSuspended = 1u << 9,
    kReadStreamClosed = 1u << 14,
    kDealloc = 1u << 16,
  };
  enum Config : std::uint16_t {
    kIPv4Disabled = 1u << 0,
    kIPv6Disabled = 1u << 1,
    kPreferIPv6 = 1u << 2,
    kAllowHalfDuplex = 1u << 3,
  };

  struct ReadPacket {
    Bytes buffer;
    std::size_t bytesDone = 0;
    double timeout = -1;
    std::int64_t tag = 0;
  };
  struct WritePacket {
    Bytes buffer;
    std::size_t bytesDone = 0;
    std::int64_t tag = 0;
    double timeout = -1;
  };
  /// One family's connect attempt and its descriptor, before and while connect() runs.
  struct ConnectAttempt {
    SocketAddress address;
    UniqueFd fd;                              // until connect() is started
    std::unique_ptr<ReadinessSources> watch;  // owns the descriptor from connect() on
    OneShotTimer delayedStart;                // the second family starts later
  };

  using Clock = std::chrono::steady_clock;

  // Everything below runs on the socket queue.
  std::optional<SocketError> startConnect(const std::string& host, std::uint16_t port,
                                          const std::optional<std::string>& viaInterface,
                                          double timeout);
  void lookupFinished(std::int32_t index, std::variant<ResolvedAddresses, SocketError> result);
  std::optional<SocketError> connectToAddresses(std::optional<SocketAddress> address4,
                                                std::optional<SocketAddress> address6);
  void startAttempt(int family, std::int32_t index);
  void attemptFinished(int family, std::int32_t index, int error);
  void didConnect(std::unique_ptr<ReadinessSources> sources);
  void startConnectTimeout(double timeout);
  void endConnectTimeout();
  void closeWithError(std::optional<SocketError> error);
  std::optional<ConnectAttempt>& attemptFor(int family);
  platform::SocketHandle connectedDescriptor() const noexcept {
    return sources_ ? sources_->descriptor() : platform::kNoSocket;
  }
  std::optional<SocketAddress> peerAddress() const;

  void queueRead(ReadPacket packet);
  void maybeDequeueRead();
  void doReadData();
  void readSourceFired(std::size_t available, int error);
  void doReadEndOfStream();
  void finishCurrentRead();
  void queueWrite(WritePacket packet);
  void maybeDequeueWrite();
  void doWriteData();
  void writeSourceFired();
  void finishCurrentWrite();
  void startTimeout(bool read, double seconds);
  void timedOut(bool read, std::uint64_t serial);
  void timeoutAnswered(bool read, std::uint64_t serial, double extension);
  void disconnectAfter(std::uint32_t which);
  void maybeCloseAfterRequests();

  void suspendReadSource();
  void resumeReadSource();
  void suspendWriteSource();
  void resumeWriteSource();

  /// Posts call(delegate, socket) to the delegate queue; skipped when either is gone by then.
  template <class Call>
  void notifyDelegate(Call call) {
    delegateQueue_->async(
        [socket = weak_from_this(), delegate = delegate_, call = std::move(call)]() mutable {
          auto self = socket.lock();
          auto target = delegate.lock();
          if (self && target) call(*target, *self);
        });
  }
  void notifyDisconnect(std::optional<SocketError> error);
  /// Runs job on the socket queue later, holding the socket weakly.
  template <class Job>
  void later(Job job) {
    socketQueue_->async([socket = weak_from_this(), job = std::move(job)]() mutable {
      if (auto self = socket.lock()) job(*self);
    });
  }

  std::uint32_t flags_ = 0;
  std::uint16_t config_ = 0;
  std::weak_ptr<AsyncSocketDelegate> delegate_;
  std::shared_ptr<SerialQueue> delegateQueue_;
  std::optional<ConnectAttempt> attempt4_;
  std::optional<ConnectAttempt> attempt6_;
  std::int32_t stateIndex_ = 0;
  std::optional<SocketAddress> connectInterface4_;
  std::optional<SocketAddress> connectInterface6_;
  std::shared_ptr<SerialQueue> socketQueue_;
  OneShotTimer connectTimer_;
  std::unique_ptr<ReadinessSources> sources_;  // the connected descriptor
  OneShotTimer readTimer_;
  OneShotTimer writeTimer_;
  std::deque<ReadPacket> readQueue_;
  std::deque<WritePacket> writeQueue_;
  std::optional<ReadPacket> currentRead_;
  std::optional<WritePacket> currentWrite_;
  Clock::time_point readStarted_;
  Clock::time_point writeStarted_;
  std::uint64_t readSerial_ = 0;  // tells a late time-out answer from the current read's
  std::uint64_t writeSerial_ = 0;
  std::uint64_t socketFDBytesAvailable_ = 0;
  double alternateAddressDelay_ = 0.3;
  std::optional<SilenceLimits> silenceLimits_;
  TextLookup textLookup_;
};

}  // namespace tempik::net
