#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "link/ConsoleTransport.h"

namespace tempik::faults {

/// Passes every call through to the real transport and records each connection attempt the
/// controller makes: its host, start, end and outcome. Any thread may call it.
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

  [[nodiscard]] std::vector<Attempt> attempts() const {
    const std::lock_guard lock(log_->mutex);
    return log_->attempts;
  }
  /// Waits until at least count attempts have finished; false when the deadline passed first.
  bool waitForAttempts(std::size_t count, Clock::duration deadline) const {
    std::unique_lock lock(log_->mutex);
    return log_->changed.wait_for(lock, deadline, [&] {
      return log_->attempts.size() >= count && log_->attempts[count - 1].finished;
    });
  }

  void connect(std::string host, std::int64_t port,
               std::function<void(link::ConnectOutcome)> completion) override {
    std::size_t index = 0;
    {
      const std::lock_guard lock(log_->mutex);
      index = log_->attempts.size();
      log_->attempts.push_back({host, Clock::now(), std::nullopt, std::nullopt});
    }
    inner_->connect(std::move(host), port, [log = log_, index, completion](auto outcome) {
      {
        const std::lock_guard lock(log->mutex);
        log->attempts[index].finished = Clock::now();
        log->attempts[index].outcome = outcome;
      }
      log->changed.notify_all();
      completion(outcome);
    });
  }
  void disconnect(std::function<void()> completion) override {
    inner_->disconnect(std::move(completion));
  }
  void send(std::string address, std::vector<std::string> arguments,
            std::function<void(std::optional<link::SendError>)> completion) override {
    inner_->send(std::move(address), std::move(arguments), std::move(completion));
  }
  void setReceiveHandler(link::ReceiveHandler handler, std::function<void()> completion) override {
    inner_->setReceiveHandler(std::move(handler), std::move(completion));
  }

 private:
  struct Log {  // shared with the callbacks, which may outlive the decorator
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Attempt> attempts;
  };
  std::shared_ptr<link::ConsoleTransport> inner_;
  std::shared_ptr<Log> log_ = std::make_shared<Log>();
};

}  // namespace tempik::faults
