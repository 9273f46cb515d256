// Making a connection: checks, name resolution on a worker, the IPv4/IPv6 race, the connect
// time-out. Everything but the public entry point runs on the socket queue.
#include "net/AsyncSocket.h"
#include "net/Platform.h"
#include "net/SystemSockets.h"
#include "net/WorkerPool.h"

namespace tempik::net {

namespace {

std::chrono::steady_clock::duration seconds(double value) {
  return std::chrono::duration_cast<std::chrono::steady_clock::duration>(
      std::chrono::duration<double>(value));
}

}  // namespace

bool AsyncSocket::connectToHost(const std::string& host, std::uint16_t port, SocketError& error) {
  return connectToHost(host, port, std::nullopt, -1, error);
}

bool AsyncSocket::connectToHost(const std::string& host, std::uint16_t port, double timeout,
                                SocketError& error) {
  return connectToHost(host, port, std::nullopt, timeout, error);
}

bool AsyncSocket::connectToHost(const std::string& host, std::uint16_t port,
                                const std::optional<std::string>& viaInterface, double timeout,
                                SocketError& error) {
  auto failure =
      socketQueue_->sync([&] { return startConnect(host, port, viaInterface, timeout); });
  if (failure) error = std::move(*failure);
  return !failure;
}

std::optional<SocketError> AsyncSocket::startConnect(const std::string& host, std::uint16_t port,
                                                     const std::optional<std::string>& viaInterface,
                                                     double timeout) {
  if (host.empty()) {
    return errors::badParam(
        "Invalid host parameter (nil or \"\"). Should be a domain name or IP address string.");
  }
  if (delegate_.expired()) {
    return errors::badConfig("Attempting to connect without a delegate. Set a delegate first.");
  }
  if (!delegateQueue_) {
    return errors::badConfig(
        "Attempting to connect without a delegate queue. Set a delegate queue first.");
  }
  if (flags_ & kStarted) {
    return errors::badConfig(
        "Attempting to connect while connected or accepting connections. Disconnect first.");
  }
  const bool ipv4Enabled = (config_ & kIPv4Disabled) == 0;
  const bool ipv6Enabled = (config_ & kIPv6Disabled) == 0;
  if (!ipv4Enabled && !ipv6Enabled) {
    return errors::badConfig(
        "Both IPv4 and IPv6 have been disabled. Must enable at least one protocol first.");
  }

  std::optional<SocketAddress> local4, local6;
  if (viaInterface && !viaInterface->empty()) {
    auto local = resolveInterface(*viaInterface);
    if (!local.ipv4 && !local.ipv6) {
      return errors::badParam(
          "Unknown interface. Specify valid interface by name (e.g. \"en1\") or IP address.");
    }
    if (!ipv4Enabled && !local.ipv6) {
      return errors::badParam(
          "IPv4 has been disabled and specified interface doesn't support IPv6.");
    }
    if (!ipv6Enabled && !local.ipv4) {
      return errors::badParam(
          "IPv6 has been disabled and specified interface doesn't support IPv4.");
    }
    local4 = local.ipv4;
    local6 = local.ipv6;
  }
  connectInterface4_ = local4;
  connectInterface6_ = local6;

  readQueue_.clear();
  writeQueue_.clear();
  flags_ |= kStarted;

  const std::int32_t index = stateIndex_;
  if (isLoopbackName(host)) {
    // Known without a lookup; still answered later, like every lookup.
    later([index, result = resolveHost(host, port)](AsyncSocket& self) mutable {
      self.lookupFinished(index, std::move(result));
    });
  } else {
    WorkerPool::post([socket = weak_from_this(), queue = socketQueue_, host, port, index] {
      auto result = resolveHost(host, port);
      queue->async([socket, index, result = std::move(result)]() mutable {
        if (auto self = socket.lock()) self->lookupFinished(index, std::move(result));
      });
    });
  }
  if (timeout >= 0) startConnectTimeout(timeout);
  return std::nullopt;
}

void AsyncSocket::lookupFinished(std::int32_t index,
                                 std::variant<ResolvedAddresses, SocketError> result) {
  if (index != stateIndex_) return;
  if (auto* failure = std::get_if<SocketError>(&result)) {
    endConnectTimeout();
    closeWithError(std::move(*failure));
    return;
  }
  auto& addresses = std::get<ResolvedAddresses>(result);
  const bool ipv4Enabled = (config_ & kIPv4Disabled) == 0;
  const bool ipv6Enabled = (config_ & kIPv6Disabled) == 0;
  if (!ipv4Enabled && !addresses.ipv6) {
    closeWithError(errors::other("IPv4 has been disabled and DNS lookup found no IPv6 address."));
    return;
  }
  if (!ipv6Enabled && !addresses.ipv4) {
    closeWithError(errors::other("IPv6 has been disabled and DNS lookup found no IPv4 address."));
    return;
  }
  if (!ipv4Enabled) addresses.ipv4.reset();
  if (!ipv6Enabled) addresses.ipv6.reset();
  if (auto failure = connectToAddresses(addresses.ipv4, addresses.ipv6)) {
    closeWithError(std::move(*failure));
  }
}

std::optional<SocketError> AsyncSocket::connectToAddresses(std::optional<SocketAddress> address4,
                                                           std::optional<SocketAddress> address6) {
  std::optional<SocketError> lastError;
  auto open = [&](const std::optional<SocketAddress>& address,
                  const std::optional<SocketAddress>& local) -> std::optional<ConnectAttempt> {
    if (!address) return std::nullopt;
    UniqueFd fd(platform::openStreamSocket(address->family()));
    if (!fd) {
      lastError = errors::posix(platform::lastSocketError(), "Error in socket() function");
      return std::nullopt;
    }
    if (local) {
      if (const int error = platform::bindTo(fd.get(), *local); error != 0) {
        lastError = errors::posix(error, "Error in bind() function");
        return std::nullopt;  // fd closes here
      }
    }
    platform::disableSigPipe(fd.get());
    return ConnectAttempt{*address, std::move(fd), nullptr, OneShotTimer()};
  };
  attempt4_ = open(address4, connectInterface4_);
  attempt6_ = open(address6, connectInterface6_);
  if (!attempt4_ && !attempt6_) {
    return lastError ? *lastError : errors::other("No address to connect to");
  }

  const bool preferIPv6 = (config_ & kPreferIPv6) != 0;
  const int primary = (preferIPv6 && attempt6_) || !attempt4_ ? AF_INET6 : AF_INET;
  const int alternate = primary == AF_INET6 ? AF_INET : AF_INET6;
  const std::int32_t index = stateIndex_;
  if (auto& second = attemptFor(alternate)) {
    second->delayedStart = socketQueue_->after(seconds(alternateAddressDelay_),
                                               [socket = weak_from_this(), alternate, index] {
                                                 if (auto self = socket.lock())
                                                   self->startAttempt(alternate, index);
                                               });
  }
  startAttempt(primary, index);
  return std::nullopt;
}

void AsyncSocket::startAttempt(int family, std::int32_t index) {
  auto& attempt = attemptFor(family);
  if (index != stateIndex_ || !attempt || !attempt->fd) return;
  if (flags_ & kConnected) {
    attempt.reset();
    return;
  }
  // A non-blocking connect() waited for on the socket queue: no worker is held for the
  // kernel's whole SYN retry time when the host does not answer.
  const auto fd = attempt->fd.get();
  if (!platform::setNonBlocking(fd)) {
    attemptFinished(family, index, platform::lastSocketError());
    return;
  }
  const int result = platform::startConnect(fd, attempt->address);
  if (result == EINPROGRESS) {
    attempt->watch = std::make_unique<ReadinessSources>(
        socketQueue_, std::move(attempt->fd), family, nullptr,
        [socket = weak_from_this(), family, index] {
          auto self = socket.lock();
          if (!self) return;
          auto& current = self->attemptFor(family);
          if (!current || !current->watch) return;
          self->attemptFinished(family, index,
                                platform::connectOutcome(current->watch->descriptor()));
        });
    if (attempt->watch->descriptor() == platform::kNoSocket) {  // the waiter refused it
      attemptFinished(family, index, EBADF);
      return;
    }
    attempt->watch->resumeWrite();
    return;
  }
  attemptFinished(family, index, result);
}

void AsyncSocket::attemptFinished(int family, std::int32_t index, int error) {
  auto& attempt = attemptFor(family);
  if (index != stateIndex_ || !attempt) return;
  if (flags_ & kConnected) {  // the other family won
    attempt.reset();
    return;
  }
  if (error != 0) {
    attempt.reset();
    if (!attempt4_ && !attempt6_)
      closeWithError(errors::posix(error, "Error in connect() function"));
    return;
  }
  // The connect watch goes on as the connection's sources: the socket stays with the one
  // waiter it was given to.
  auto sources = attempt->watch
                     ? std::move(attempt->watch)
                     : std::make_unique<ReadinessSources>(socketQueue_, std::move(attempt->fd),
                                                          family, nullptr, nullptr);
  attempt4_.reset();  // closes the loser's descriptor and stops its delayed start
  attempt6_.reset();
  didConnect(std::move(sources));
}

void AsyncSocket::didConnect(std::unique_ptr<ReadinessSources> sources) {
  flags_ |= kConnected;
  endConnectTimeout();

  sources_ = std::move(sources);
  sources_->suspendWrite();
  sources_->setHandlers(
      [socket = weak_from_this()](std::size_t available, int error) {
        if (auto self = socket.lock()) self->readSourceFired(available, error);
      },
      [socket = weak_from_this()] {
        if (auto self = socket.lock()) self->writeSourceFired();
      });
  // Liveness is best effort: a connection the system will not watch still carries data.
  if (silenceLimits_) (void)platform::applySilenceLimits(connectedDescriptor(), *silenceLimits_);
  if (auto peer = peerAddress()) {
    notifyDelegate([host = peer->host(), port = peer->port()](AsyncSocketDelegate& delegate,
                                                              AsyncSocket& socket) {
      delegate.socketDidConnectToHost(socket, host, port);
    });
  }
  if (!platform::setNonBlocking(connectedDescriptor())) {
    closeWithError(errors::other("Error enabling non-blocking IO on socket (fcntl)"));
    return;
  }
  resumeReadSource();
  flags_ |= kSocketCanAcceptBytes | kWriteSourceSuspended;

  maybeDequeueRead();
  maybeDequeueWrite();
}

std::optional<AsyncSocket::ConnectAttempt>& AsyncSocket::attemptFor(int family) {
  return family == AF_INET6 ? attempt6_ : attempt4_;
}

void AsyncSocket::startConnectTimeout(double timeout) {
  connectTimer_ = socketQueue_->after(seconds(timeout), [socket = weak_from_this()] {
    auto self = socket.lock();
    if (!self) return;
    self->endConnectTimeout();
    self->closeWithError(errors::connectTimeout(self->textLookup_));
  });
}

void AsyncSocket::endConnectTimeout() {
  connectTimer_.cancel();
  ++stateIndex_;
  connectInterface4_.reset();
  connectInterface6_.reset();
}

}  // namespace tempik::net
