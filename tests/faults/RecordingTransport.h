#pragma once

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/ConsoleTransport.h"
#include "support/Recorder.h"

namespace tempik::faults {

/// Passes every call through to the real transport and records each connection attempt the
/// controller makes (its host, start, end and outcome) and the address of each send. Any
/// thread may call it.
class RecordingTransport final : public link::ConsoleTransport {
 public:
  using Clock = std::chrono::steady_clock;
  struct Attempt {
    std::string host;
    Clock::time_point started;
    std::optional<Clock::time_point> finished;
    link::ConnectOutcome outcome;
  };

  explicit RecordingTransport(std::shared_ptr<link::ConsoleTransport> inner)
      : inner_(std::move(inner)) {}

  [[nodiscard]] std::vector<Attempt> attempts() const { return log_->log(); }
  /// Waits until at least count attempts have finished; false when the deadline passed first.
  bool waitForAttempts(std::size_t count, Clock::duration deadline) const {
    return log_->waitUntil(
        [&](const auto& attempts) {
          return attempts.size() >= count && attempts[count - 1].finished;
        },
        deadline);
  }

  void connect(std::string host, std::int64_t port,
               std::function<void(link::ConnectOutcome)> completion) override {
    std::size_t index = 0;
    log_->change([&](auto& attempts) {
      index = attempts.size();
      attempts.push_back({host, Clock::now(), std::nullopt, link::LinkDown{}});
    });
    inner_->connect(std::move(host), port, [log = log_, index, completion](auto outcome) {
      log->change([&](auto& attempts) {
        attempts[index].finished = Clock::now(), attempts[index].outcome = outcome;
      });
      completion(outcome);
    });
  }
  void disconnect(std::function<void()> completion) override {
    inner_->disconnect(std::move(completion));
  }
  void abort(std::function<void()> completion) override { inner_->abort(std::move(completion)); }
  /// Waits until at least count sends to this address were made since `since`.
  bool waitForSends(const std::string& address, std::size_t count, Clock::time_point since,
                    Clock::duration deadline) const {
    return sends_->waitUntil(
        [&](const auto& sends) {
          return std::count_if(sends.begin(), sends.end(), [&](const auto& send) {
                   return send.first == address && send.second >= since;
                 }) >= std::ptrdiff_t(count);
        },
        deadline);
  }

  void send(std::string address, std::vector<std::string> arguments,
            std::function<void(std::optional<link::SendError>)> completion) override {
    sends_->change([&](auto& sends) { sends.emplace_back(address, Clock::now()); });
    inner_->send(std::move(address), std::move(arguments), std::move(completion));
  }
  void setReceiveHandler(link::ReceiveHandler handler, std::function<void()> completion) override {
    inner_->setReceiveHandler(std::move(handler), std::move(completion));
  }
  void setLinkDownHandler(link::LinkDownHandler handler,
                          std::function<void()> completion) override {
    inner_->setLinkDownHandler(std::move(handler), std::move(completion));
  }

 private:
  std::shared_ptr<link::ConsoleTransport> inner_;
  // Shared with the callbacks, which may outlive the decorator.
  std::shared_ptr<fakes::Recorder<std::vector<Attempt>>> log_ =
      std::make_shared<fakes::Recorder<std::vector<Attempt>>>();
  using Sends = std::vector<std::pair<std::string, Clock::time_point>>;
  std::shared_ptr<fakes::Recorder<Sends>> sends_ = std::make_shared<fakes::Recorder<Sends>>();
};

}  // namespace tempik::faults
