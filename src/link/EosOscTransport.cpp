#include "link/EosOscTransport.h"

#include <chrono>

#include "link/ConnectResultBox.h"
#include "link/LinkProblems.h"
#include "osc/OSCErrors.h"
#include "osc/OSCMessage.h"
#include "osc/OSCMessageView.h"

namespace tempik::link {

namespace {

constexpr const char* kStrandLabel = "io.github.tempik.eos-osc.transport";
constexpr const char* kAttemptQueueLabel = "io.github.tempik.eos-osc";
constexpr std::int64_t kLowestPort = 1;
constexpr std::int64_t kHighestPort = 65535;

// Keeps a message's string arguments, in order, and drops every other kind. The message is
// read in place, so the address and the strings are the only copies made. Each client calls
// its wrapper on its own queue only, so the wrapper can reuse their storage.
OSCTCPClient::MessageViewHandler stringsOnly(ReceiveHandler handler) {
  return
      [handler = std::move(handler), address = std::string(), strings = std::vector<std::string>()](
          const osc::OSCMessageView& message, const osc::OSCTimeTag&, const std::string&,
          std::uint16_t) mutable {
        std::size_t count = 0;
        for (const osc::OSCArgumentView& argument : message) {
          if (const auto* text = std::get_if<std::string_view>(&argument)) {
            if (count == strings.size()) strings.emplace_back();
            strings[count++].assign(*text);
          }
        }
        strings.resize(count);
        // A console sends the same few addresses over and over.
        if (address != message.addressPattern()) address.assign(message.addressPattern());
        handler(address, strings);
      };
}

}  // namespace

std::shared_ptr<EosOscTransport> EosOscTransport::create(CompletionExecutor completions,
                                                         ConsoleTimings timings) {
  return std::make_shared<EosOscTransport>(Key{}, std::move(completions), timings);
}

EosOscTransport::EosOscTransport(Key, CompletionExecutor completions, ConsoleTimings timings)
    : completions_(std::move(completions)),
      connectTimeout_(timings.connectTimeout),
      strand_(net::SerialQueue::create(kStrandLabel)) {}

template <class Completion, class... Args>
void EosOscTransport::complete(Completion completion, Args... args) {
  if (!completion) return;
  completions_([completion = std::move(completion), ... args = std::move(args)]() mutable {
    completion(std::move(args)...);
  });
}

void EosOscTransport::connect(std::string host, std::int64_t port,
                              std::function<void(ConnectOutcome)> completion) {
  strand_->async([self = shared_from_this(), host = std::move(host), port,
                  completion = std::move(completion)]() mutable {
    self->startConnect(std::move(host), port, std::move(completion));
  });
}

void EosOscTransport::disconnect(std::function<void()> completion) {
  strand_->async([self = shared_from_this(), completion = std::move(completion)]() mutable {
    self->forgetClient();
    self->complete(std::move(completion));
  });
}

void EosOscTransport::abort(std::function<void()> completion) {
  strand_->async([self = shared_from_this(), completion = std::move(completion)]() mutable {
    if (self->client_) self->client_->abort();
    self->forgetClient();
    self->complete(std::move(completion));
  });
}

void EosOscTransport::send(std::string address, std::vector<std::string> arguments,
                           std::function<void(std::optional<SendError>)> completion) {
  strand_->async([self = shared_from_this(), address = std::move(address),
                  arguments = std::move(arguments), completion = std::move(completion)]() mutable {
    std::optional<SendError> failure;
    if (!self->client_ || !self->client_->isConnected()) {
      failure = SendError{SendError::Kind::notConnected, "Not connected to the console."};
    } else {
      osc::OSCValueList values;
      values.reserve(arguments.size());
      for (auto& argument : arguments) values.emplace_back(std::move(argument));
      try {
        self->client_->send(osc::OSCMessage(address, std::move(values)));
      } catch (const osc::OSCEncodeError& error) {
        failure = SendError{SendError::Kind::encoding, error.description()};
      }
    }
    self->complete(std::move(completion), std::move(failure));
  });
}

void EosOscTransport::setReceiveHandler(ReceiveHandler handler, std::function<void()> completion) {
  strand_->async([self = shared_from_this(), handler = std::move(handler),
                  completion = std::move(completion)]() mutable {
    self->receiveHandler_ = std::move(handler);
    const auto wrapped = self->receiveHandler_ ? stringsOnly(self->receiveHandler_) : nullptr;
    if (self->client_) self->client_->setMessageViewHandler(wrapped);
    if (auto pending = self->pendingClient_.lock(); pending && pending != self->client_) {
      pending->setMessageViewHandler(wrapped);
    }
    self->complete(std::move(completion));
  });
}

void EosOscTransport::setLinkDownHandler(LinkDownHandler handler,
                                         std::function<void()> completion) {
  strand_->async([self = shared_from_this(), handler = std::move(handler),
                  completion = std::move(completion)]() mutable {
    self->linkDownHandler_ = std::move(handler);
    self->complete(std::move(completion));
  });
}

void EosOscTransport::clientWentDown(const std::weak_ptr<OSCTCPClient>& client, LinkDown why) {
  strand_->async([self = shared_from_this(), client, why = std::move(why)]() mutable {
    // Only the current connection's end is news: attempts that lost, or clients already
    // replaced or closed on purpose, end quietly.
    if (!self->client_ || self->client_ != client.lock()) return;
    self->forgetClient();
    if (self->linkDownHandler_) self->complete(self->linkDownHandler_, std::move(why));
  });
}

std::int64_t EosOscTransport::connectAttempt() const {
  return strand_->sync([this] { return connectAttempt_; });
}

void EosOscTransport::forgetClient() {
  if (client_) client_->close();
  client_.reset();
  connectedHost_.reset();
  connectedPort_.reset();
}

void EosOscTransport::startConnect(std::string host, std::int64_t port,
                                   std::function<void(ConnectOutcome)> completion) {
  if (host.empty() || port < kLowestPort || port > kHighestPort) {
    forgetClient();
    complete(std::move(completion), ConnectOutcome{LinkDown{LinkProblem::badAddress, {}}});
    return;
  }
  if (client_ && client_->isConnected() && connectedHost_ == host && connectedPort_ == port) {
    complete(std::move(completion), ConnectOutcome{SameConnection{}});
    return;
  }
  forgetClient();
  const std::int64_t attempt = ++connectAttempt_;
  auto queue = net::SerialQueue::create(kAttemptQueueLabel);
  auto client = OSCTCPClient::create(host, static_cast<std::uint16_t>(port), std::nullopt,
                                     OSCTimeTagMode::ignore, OSCTCPFramingMode::osc1_1, queue);
  // A console that vanishes without a word (a pulled cable) is given up within seconds.
  client->setSilenceLimits(net::SilenceLimits{});
  if (receiveHandler_) client->setMessageViewHandler(stringsOnly(receiveHandler_));
  pendingClient_ = client;
  // The attempt's outcome comes back to this queue; meanwhile it is free for other operations.
  auto continuation = [weak = weak_from_this(), attempt, client, host, port,
                       completion =
                           std::move(completion)](std::optional<LinkDown> failure) mutable {
    auto self = weak.lock();
    if (!self) return;
    self->strand_->async([self, attempt, client = std::move(client), host = std::move(host), port,
                          failure = std::move(failure),
                          completion = std::move(completion)]() mutable {
      self->finishConnect(attempt, std::move(client), std::move(host), port, std::move(failure),
                          std::move(completion));
    });
  };
  runAttempt(client, queue, std::move(continuation));
}

void EosOscTransport::runAttempt(const std::shared_ptr<OSCTCPClient>& client,
                                 const std::shared_ptr<net::SerialQueue>& queue,
                                 std::function<void(std::optional<LinkDown>)> continuation) {
  auto box = std::make_shared<ConnectResultBox>(std::move(continuation));
  // Stays installed for the client's life: once the attempt is decided, a disconnect is the
  // end of the connection, news for the transport if the client is still its current one.
  client->setNotificationHandler(
      [box, weakSelf = weak_from_this(),
       weakClient = std::weak_ptr(client)](const OSCTCPClient::Notification& notification) {
        if (notification.kind == OSCTCPClient::Notification::Kind::connected) {
          box->resume(std::nullopt);
          return;
        }
        const net::SocketError cause =
            notification.cause.value_or(net::errors::other("Disconnected before connecting"));
        if (box->resume(connectFailure(cause))) return;
        if (auto self = weakSelf.lock())
          self->clientWentDown(weakClient, connectionLoss(notification.cause));
      });
  // The handlers are installed by jobs on the client's queue: let them run before connecting.
  queue->sync([] {});
  // The socket gets the same time-out (at least a second): whichever fires first decides.
  if (const auto failure =
          client->connect(std::chrono::duration<double>(connectTimeout_).count())) {
    box->resume(connectFailure(*failure));
    return;
  }
  box->setDeadline(
      queue->after(connectTimeout_, [weakBox = std::weak_ptr(box), timeout = connectTimeout_] {
        if (auto box = weakBox.lock()) {
          box->resume(LinkDown{LinkProblem::noAnswer,
                               "No answer within " + std::to_string(timeout.count()) + " ms"});
        }
      }));
}

void EosOscTransport::finishConnect(std::int64_t attempt, std::shared_ptr<OSCTCPClient> client,
                                    std::string host, std::int64_t port,
                                    std::optional<LinkDown> failure,
                                    std::function<void(ConnectOutcome)> completion) {
  if (pendingClient_.lock() == client) pendingClient_.reset();
  if (attempt != connectAttempt_) {
    failure = LinkDown{LinkProblem::superseded, {}};
  }
  if (!failure) {
    client_ = std::move(client);
    connectedHost_ = std::move(host);
    connectedPort_ = port;
    complete(std::move(completion), ConnectOutcome{NewConnection{}});
    return;
  }
  client->close();
  complete(std::move(completion), ConnectOutcome{std::move(*failure)});
}

}  // namespace tempik::link
