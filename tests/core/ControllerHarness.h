#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/TempoController.h"
#include "support/FakeConsoleTransport.h"
#include "support/FakeWallClock.h"
#include "support/ManualExecutor.h"
#include "support/MemorySettingsStore.h"

namespace tempik::core {

using namespace std::chrono_literals;
using fakes::FakeConsoleTransport;
using Kind = FakeConsoleTransport::Kind;
using fakes::ManualExecutor;

/// A message as the console saw it: address and string arguments.
struct Sent {
  std::string address;
  std::vector<std::string> arguments;
  friend bool operator==(const Sent&, const Sent&) = default;
  friend std::ostream& operator<<(std::ostream& out, const Sent& sent) {
    out << sent.address;
    for (const auto& argument : sent.arguments) out << " \"" << argument << "\"";
    return out;
  }
};

inline const Sent effectKey{"/eos/user/20/key/effect", {}};

/// A controller on a manual executor with a fake transport, settings store and wall clock.
class ControllerHarness : public ::testing::Test {
 protected:
  /// Creates the controller; called again, replaces it with a fresh one.
  void start(std::map<std::string, std::string, std::less<>> settings = {}) {
    store = std::make_shared<fakes::MemorySettingsStore>(std::move(settings));
    controller = TempoController::create({executor, clock, store, transport});
    subscription = controller->observe([this](ObservedProperty p) { changes.push_back(p); });
    executor->runReady();
  }

  /// Started, connected, Effect keys pressed; calls and changes forgotten.
  void startConnected(std::map<std::string, std::string, std::less<>> settings = {}) {
    start(std::move(settings));
    executor->advanceBy(TempoController::effectKeyGap);
    ASSERT_TRUE(controller->isConnected());
    transport->clearCalls();
    changes.clear();
  }

  void TearDown() override {
    subscription.reset();
    controller.reset();
    executor->advanceBy(1min);  // tasks that hold the controller strongly run to their end
    transport->dropUnanswered();
    executor->runReady();
  }

  static std::chrono::system_clock::time_point wallTime(double seconds) {
    return std::chrono::system_clock::time_point{} + std::chrono::hours(24 * 365 * 56) +
           std::chrono::duration_cast<std::chrono::system_clock::duration>(
               std::chrono::duration<double>(seconds));
  }

  void tapAt(double seconds) {
    controller->tap(wallTime(seconds));
    executor->runReady();
  }

  /// Three taps half a second apart: 120 BPM.
  void tap120(double from = 0.0) {
    for (double s : {from, from + 0.5, from + 1.0}) tapAt(s);
  }

  void receive(const std::string& address, const std::vector<std::string>& arguments = {}) {
    transport->receive(address, arguments);
    executor->runReady();
  }

  [[nodiscard]] std::vector<Sent> sent() const {
    std::vector<Sent> result;
    for (const auto& call : transport->callsOf(Kind::send)) {
      result.push_back({call.address, call.arguments});
    }
    return result;
  }

  [[nodiscard]] std::vector<ManualExecutor::Duration> sendTimes() const {
    std::vector<ManualExecutor::Duration> result;
    for (const auto& call : transport->callsOf(Kind::send)) result.push_back(call.at);
    return result;
  }

  std::shared_ptr<ManualExecutor> executor = std::make_shared<ManualExecutor>();
  std::shared_ptr<fakes::FakeWallClock> clock = std::make_shared<fakes::FakeWallClock>();
  std::shared_ptr<FakeConsoleTransport> transport =
      std::make_shared<FakeConsoleTransport>(executor);
  std::shared_ptr<fakes::MemorySettingsStore> store;
  std::shared_ptr<TempoController> controller;
  Subscription subscription;
  std::vector<ObservedProperty> changes;
};

inline Sent tempoCommand(const std::string& text) {
  return {"/eos/user/20/newcmd", {text}};
}
inline Sent macroLabel(int macro, const std::string& text) {
  return {"/eos/set/macro/" + std::to_string(macro) + "/label", {text}};
}

}  // namespace tempik::core
