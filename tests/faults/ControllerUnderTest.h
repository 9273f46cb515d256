#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <map>
#include <memory>
#include <string>

#include "RecordingTransport.h"
#include "core/TempoController.h"
#include "link/EosOscTransport.h"
#include "support/MemorySettingsStore.h"
#include "support/SteppingWallClock.h"
#include "support/ThreadExecutor.h"

namespace tempik::faults {

using namespace std::chrono_literals;

// Generous: the machine is shared and the suite also runs under sanitizers.
inline constexpr auto patience = 30s;
// A drop is noticed by the next pass of the check loop, 5 s after the previous attempt ended;
// on loopback the attempt itself takes milliseconds.
inline constexpr auto reconnectBound = 5s + 1500ms;

inline const std::string effectKey = "/eos/user/20/key/effect";
inline const std::string tempoCommand = "/eos/user/20/newcmd";

/// What the application runs: the real controller on a real-thread executor with the real
/// transport, seen through a recording decorator.
class ControllerUnderTest {
 public:
  explicit ControllerUnderTest(std::map<std::string, std::string, std::less<>> settings) {
    transport_ = link::EosOscTransport::create(
        [weak = std::weak_ptr<fakes::ThreadExecutor>(executor)](std::function<void()> job) {
          if (const auto alive = weak.lock()) alive->post(std::move(job));
        });
    recorder = std::make_shared<RecordingTransport>(transport_);
    store = std::make_shared<fakes::MemorySettingsStore>(std::move(settings));
    controller = executor->call([&] {
      return core::TempoController::create(
          {executor, std::make_shared<fakes::SteppingWallClock>(), store, recorder});
    });
  }

  ~ControllerUnderTest() {
    executor->call([&] { controller.reset(); });
    // The transport completes in order: once this completes, every earlier completion ran.
    auto done = std::make_shared<std::promise<void>>();
    transport_->disconnect([done] { done->set_value(); });
    EXPECT_EQ(done->get_future().wait_for(patience), std::future_status::ready);
  }
  ControllerUnderTest(const ControllerUnderTest&) = delete;
  ControllerUnderTest& operator=(const ControllerUnderTest&) = delete;

  /// Runs work on the controller's executor (the UI thread) and returns its result.
  template <class Work>
  auto onUiThread(Work work) {
    return executor->call([&] { return work(*controller); });
  }

  [[nodiscard]] bool isConnected() {
    return onUiThread([](core::TempoController& c) { return c.isConnected(); });
  }

  [[nodiscard]] std::int64_t attemptsThatMadeAClient() const {
    return transport_->connectAttempt();
  }

  std::shared_ptr<fakes::ThreadExecutor> executor = std::make_shared<fakes::ThreadExecutor>();
  std::shared_ptr<RecordingTransport> recorder;
  std::shared_ptr<fakes::MemorySettingsStore> store;
  std::shared_ptr<core::TempoController> controller;

 private:
  std::shared_ptr<link::EosOscTransport> transport_;
};

/// True once every send to this address has completed, and there were at least count.
inline bool sendsCompleted(const RecordingTransport::Log& log, const std::string& address,
                           std::size_t count) {
  const auto found = log.sends.find(address);
  if (found == log.sends.end()) return count == 0;
  return found->second.completed == found->second.started && found->second.completed >= count;
}

}  // namespace tempik::faults
