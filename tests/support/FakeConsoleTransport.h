#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "link/ConsoleTransport.h"
#include "support/ManualExecutor.h"

namespace tempik::fakes {

inline const link::ConnectOutcome newConnection{link::NewConnection{}};
inline const link::ConnectOutcome sameConnection{link::SameConnection{}};
inline link::ConnectOutcome linkDown(link::LinkProblem problem = link::LinkProblem::refused) {
  return link::LinkDown{problem, {}};
}

/// A console transport that records each call with its virtual time and answers as the test
/// scripts it. Completions are posted to the manual executor, never called inside the call.
/// Used on the test's thread only; receive() may be called from any.
class FakeConsoleTransport final : public link::ConsoleTransport {
 public:
  enum class Kind { connect, disconnect, abort, send, setReceiveHandler };
  struct Call {
    Kind kind{};
    ManualExecutor::Duration at{};
    std::string text{};  // "host:port", or the address and then each argument in quotes
  };

  explicit FakeConsoleTransport(std::shared_ptr<ManualExecutor> executor)
      : executor_(std::move(executor)) {}

  /// How connect() answers: with this outcome at once (a new connection is the same one while
  /// it lasts and the host stays, as the real transport keeps it), or, when empty, only when
  /// the test calls finishConnect().
  std::optional<link::ConnectOutcome> connectAnswer = newConnection;
  /// How send() answers; every send succeeds unless the test sets this.
  std::function<std::optional<link::SendError>(const std::string& address)> sendAnswer;

  void connect(std::string host, std::int64_t port,
               std::function<void(link::ConnectOutcome)> completion) override {
    record(Kind::connect, host + ":" + std::to_string(port));
    unanswered_.push_back(std::move(completion));
    if (!connectAnswer) return;
    const bool lasts =
        connected_ && host == host_ && std::holds_alternative<link::NewConnection>(*connectAnswer);
    connected_ = link::isConnected(*connectAnswer);
    host_ = host;
    finishConnect(lasts ? sameConnection : *connectAnswer, unanswered_.size() - 1);
  }
  void disconnect(std::function<void()> completion) override {
    record(Kind::disconnect);
    connected_ = false;
    if (completion) executor_->post(std::move(completion));
  }
  void abort(std::function<void()> completion) override {
    record(Kind::abort);
    connected_ = false;
    if (completion) executor_->post(std::move(completion));
  }
  void send(std::string address, std::vector<std::string> arguments,
            std::function<void(std::optional<link::SendError>)> completion) override {
    std::string text = address;
    for (const auto& argument : arguments) text += " \"" + argument + '"';
    record(Kind::send, text);
    auto error = sendAnswer ? sendAnswer(address) : std::nullopt;
    if (error && error->kind == link::SendError::Kind::notConnected) connected_ = false;
    executor_->post([completion = std::move(completion), error = std::move(error)] {
      if (completion) completion(error);
    });
  }
  void setReceiveHandler(link::ReceiveHandler handler, std::function<void()> completion) override {
    record(Kind::setReceiveHandler);
    handler_ = std::move(handler);
    executor_->post(std::move(completion));
  }
  void setLinkDownHandler(link::LinkDownHandler handler,
                          std::function<void()> completion) override {
    linkDownHandler_ = std::move(handler);
    executor_->post(std::move(completion));
  }
  /// The current connection ends by itself, as the real transport reports it.
  void goDown(link::LinkProblem problem) {
    connected_ = false;
    executor_->post([this, problem] { linkDownHandler_(link::LinkDown{problem, {}}); });
  }

  /// Answers an unanswered connect(), the oldest unless told which.
  void finishConnect(link::ConnectOutcome outcome, std::size_t index = 0) {
    executor_->post(
        [completion = std::move(unanswered_.at(index)), outcome] { completion(outcome); });
    unanswered_.erase(unanswered_.begin() + static_cast<std::ptrdiff_t>(index));
  }
  [[nodiscard]] std::size_t unansweredConnects() const { return unanswered_.size(); }

  /// A message from the console, delivered as the real transport does.
  void receive(const std::string& address, const std::vector<std::string>& arguments = {}) const {
    if (handler_) handler_(address, arguments);
  }

  [[nodiscard]] std::vector<std::string> texts(Kind kind) const {
    std::vector<std::string> texts;
    for (const auto& call : calls) {
      if (call.kind == kind) texts.push_back(call.text);
    }
    return texts;
  }
  [[nodiscard]] std::vector<ManualExecutor::Duration> times(Kind kind) const {
    std::vector<ManualExecutor::Duration> times;
    for (const auto& call : calls) {
      if (call.kind == kind) times.push_back(call.at);
    }
    return times;
  }

  /// Forgets unanswered completions (they may hold the controller) and the receive handler.
  void dropUnanswered() {
    unanswered_.clear();
    handler_ = nullptr;
    linkDownHandler_ = nullptr;
  }

  std::vector<Call> calls;

 private:
  void record(Kind kind, std::string text = {}) {
    calls.push_back({kind, executor_->now(), std::move(text)});
  }

  std::shared_ptr<ManualExecutor> executor_;
  std::deque<std::function<void(link::ConnectOutcome)>> unanswered_;
  link::ReceiveHandler handler_;
  link::LinkDownHandler linkDownHandler_;
  bool connected_ = false;
  std::string host_;
};

}  // namespace tempik::fakes
