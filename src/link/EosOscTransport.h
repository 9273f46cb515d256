#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "link/ConsoleTimings.h"
#include "link/ConsoleTransport.h"
#include "link/OSCTCPClient.h"
#include "net/SerialQueue.h"

namespace tempik::link {

/// The console transport over OSC on TCP with SLIP framing: at most one current client, reused
/// while it stays connected to the same host and port; each connection attempt gets a fresh
/// client and queue, is decided by its first outcome or after the connect time-out, and counts
/// only if no newer attempt started meanwhile. Connections carry the socket's silence limits,
/// so a console gone without a word is noticed within seconds.
///
/// An actor: every operation runs on the transport's own serial queue, one at a time, and its
/// completion is posted to the completion executor. connect waits for its attempt without
/// holding that queue, so other operations (a newer connect too) run meanwhile. Any thread may
/// call any member. The receive handler runs on the current client's queue; the link-down
/// handler runs on the completion executor, once the current connection's socket reports that
/// it ended (the transport then forgets that client, so the next connect makes a new one).
class EosOscTransport final : public ConsoleTransport,
                              public std::enable_shared_from_this<EosOscTransport> {
 public:
  static std::shared_ptr<EosOscTransport> create(CompletionExecutor completions,
                                                 ConsoleTimings timings = {});

  void connect(std::string host, std::int64_t port,
               std::function<void(ConnectOutcome)> completion) override;
  void disconnect(std::function<void()> completion) override;
  void abort(std::function<void()> completion) override;
  void send(std::string address, std::vector<std::string> arguments,
            std::function<void(std::optional<SendError>)> completion) override;
  void setReceiveHandler(ReceiveHandler handler, std::function<void()> completion) override;
  void setLinkDownHandler(LinkDownHandler handler, std::function<void()> completion) override;

  /// How many attempts created a client so far. Waits for the transport's queue.
  std::int64_t connectAttempt() const;

 private:
  struct Key {};

 public:
  EosOscTransport(Key, CompletionExecutor completions, ConsoleTimings timings);

 private:
  // On the transport's queue.
  void startConnect(std::string host, std::int64_t port,
                    std::function<void(ConnectOutcome)> completion);
  void finishConnect(std::int64_t attempt, std::shared_ptr<OSCTCPClient> client, std::string host,
                     std::int64_t port, std::optional<LinkDown> failure,
                     std::function<void(ConnectOutcome)> completion);
  void runAttempt(const std::shared_ptr<OSCTCPClient>& client,
                  const std::shared_ptr<net::SerialQueue>& queue,
                  std::function<void(std::optional<LinkDown>)> continuation);
  // Any thread: the client's socket ended after its attempt was decided.
  void clientWentDown(const std::weak_ptr<OSCTCPClient>& client, LinkDown why);
  void forgetClient();

  template <class Completion, class... Args>
  void complete(Completion completion, Args... args);

  const CompletionExecutor completions_;
  const std::chrono::milliseconds connectTimeout_;
  const std::shared_ptr<net::SerialQueue> strand_;

  std::shared_ptr<OSCTCPClient> client_;
  std::optional<std::string> connectedHost_;
  std::optional<std::int64_t> connectedPort_;
  ReceiveHandler receiveHandler_;
  LinkDownHandler linkDownHandler_;
  std::int64_t connectAttempt_ = 0;
  // The client of the latest attempt while it is undecided, so a handler set meanwhile
  // reaches it too.
  std::weak_ptr<OSCTCPClient> pendingClient_;
};

}  // namespace tempik::link
