#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "link/ConsoleTransport.h"
#include "link/OSCTCPFraming.h"
#include "osc/OSCMessage.h"

namespace tempik::faults {

/// Passes every call through to the real transport and records what the controller asked of
/// it and what came back: each connection attempt with its start, end and outcome, each send,
/// and the address of each message handed to the controller. Any thread may call it.
class RecordingTransport final : public link::ConsoleTransport {
 public:
  using Clock = std::chrono::steady_clock;

  struct Attempt {
    std::string host;
    Clock::time_point started;
    std::optional<Clock::time_point> finished;
    link::ConnectOutcome outcome;
  };
  /// The sends to one address: counts only, so that a flood of them costs no memory here.
  struct Sends {
    std::size_t started = 0;
    std::size_t completed = 0;
    std::size_t succeeded = 0;
    std::size_t succeededBytes = 0;  // on the wire, framed
  };
  struct Log {
    std::vector<Attempt> attempts;
    std::map<std::string, Sends> sends;            // by address
    std::map<std::string, std::size_t> delivered;  // messages handed to the controller, by address
  };

 private:
  // Shared with the callbacks, which may outlive the decorator.
  struct State {
    template <class Change>
    auto change(Change&& apply) {
      std::unique_lock lock(mutex);
      auto result = apply(log);
      lock.unlock();
      changed.notify_all();
      return result;
    }
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    Log log;
  };

 public:
  explicit RecordingTransport(std::shared_ptr<link::ConsoleTransport> inner)
      : inner_(std::move(inner)) {}

  [[nodiscard]] Log log() const {
    const std::lock_guard lock(state_->mutex);
    return state_->log;
  }

  /// Waits until done(log) holds; false when the deadline passed first.
  bool waitUntil(const std::function<bool(const Log&)>& done, Clock::duration deadline) const {
    std::unique_lock lock(state_->mutex);
    return state_->changed.wait_for(lock, deadline, [&] { return done(state_->log); });
  }

  void connect(std::string host, std::int64_t port,
               std::function<void(link::ConnectOutcome)> completion) override {
    const std::size_t index = state_->change([&](Log& log) {
      log.attempts.push_back({host, Clock::now(), std::nullopt, std::nullopt});
      return log.attempts.size() - 1;
    });
    inner_->connect(std::move(host), port,
                    [state = state_, index, completion = std::move(completion)](auto outcome) {
                      state->change([&](Log& log) {
                        log.attempts[index].finished = Clock::now();
                        log.attempts[index].outcome = outcome;
                        return 0;
                      });
                      completion(outcome);
                    });
  }

  void disconnect(std::function<void()> completion) override {
    inner_->disconnect(std::move(completion));
  }

  void send(std::string address, std::vector<std::string> arguments,
            std::function<void(std::optional<link::SendError>)> completion) override {
    state_->change([&](Log& log) { return ++log.sends[address].started; });
    osc::OSCValueList values(arguments.begin(), arguments.end());
    const std::size_t bytes =
        link::slipEncode(osc::OSCMessage(std::string_view(address), std::move(values)).rawData())
            .size();
    inner_->send(address, std::move(arguments),
                 [state = state_, address, bytes, completion = std::move(completion)](auto error) {
                   state->change([&](Log& log) {
                     auto& sends = log.sends[address];
                     if (!error) {
                       ++sends.succeeded;
                       sends.succeededBytes += bytes;
                     }
                     return ++sends.completed;
                   });
                   if (completion) completion(std::move(error));
                 });
  }

  void setReceiveHandler(link::ReceiveHandler handler, std::function<void()> completion) override {
    inner_->setReceiveHandler(
        [state = state_, handler = std::move(handler)](const std::string& address,
                                                       const std::vector<std::string>& arguments) {
          // Forwarded first: once a message is counted, the controller has it in hand.
          handler(address, arguments);
          state->change([&](Log& log) { return ++log.delivered[address]; });
        },
        std::move(completion));
  }

 private:
  std::shared_ptr<link::ConsoleTransport> inner_;
  std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace tempik::faults
