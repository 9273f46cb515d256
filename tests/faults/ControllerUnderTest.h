#pragma once

#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <random>
#include <string>

#include "RecordingTransport.h"
#include "core/TempoController.h"
#include "link/EosOscTransport.h"
#include "support/Fakes.h"
#include "support/LoopbackConsole.h"
#include "support/QueueExecutor.h"
#include "support/Recorder.h"

namespace tempik::faults {

using namespace std::chrono_literals;

// Generous: the machine is shared and the suite also runs under sanitizers.
inline constexpr auto patience = 30s;
// Short, so that the loops these tests wait for come round in a blink.
inline constexpr link::ConsoleTimings quick{.connectionCheckPause = 100ms,
                                            .reconnectDelay = 50ms,
                                            .effectKeyGap = 30ms,
                                            .connectTimeout = 1000ms,
                                            .pingWait = 1000ms};
// A drop is noticed by the next pass of the check loop, one pause after the last attempt.
inline constexpr auto reconnectBound = quick.connectionCheckPause + 1500ms;

inline const std::string effectKey = "/eos/user/20/key/effect";
inline const std::string tempoCommand = "/eos/user/20/newcmd";
inline const std::string ping = "/eos/ping";
inline const osc::OSCMessage tap("/tempik/tap");
inline const osc::OSCMessage notRunning("/eos/out/user/20/cmd", {"LIVE: Effect Not Running"});

/// A console on port 3038 (where tempik always connects) of a random 127.x.y.z address, so
/// that parallel runs do not meet.
inline std::unique_ptr<fakes::LoopbackConsole> consoleOnItsPort() {
  std::mt19937 random(std::random_device{}());
  for (int tries = 0;; ++tries) {
    const auto octet = [&] { return std::to_string(random() % 254 + 1); };
    try {
      return std::make_unique<fakes::LoopbackConsole>(
          "127." + octet() + "." + octet() + "." + octet(), 3038);
    } catch (const std::exception&) {
      if (tries == 20) throw;
    }
  }
}

/// What the application runs: the real controller on a real-thread executor with the real
/// transport, with quick timings, seen through a recording decorator.
class ControllerUnderTest {
 public:
  using SessionMaker =
      std::function<std::shared_ptr<core::TempoSession>(std::shared_ptr<core::Executor>)>;
  using MidiMaker =
      std::function<std::shared_ptr<core::MidiInput>(std::shared_ptr<core::Executor>)>;
  explicit ControllerUnderTest(fakes::MemorySettingsStore::Values settings,
                               const SessionMaker& makeLinkSession = {},
                               const MidiMaker& makeMidiInput = {}) {
    transport_ = link::EosOscTransport::create(
        [weak = std::weak_ptr(executor)](std::function<void()> job) {
          if (const auto alive = weak.lock()) alive->post(std::move(job));
        },
        quick);
    recorder = std::make_shared<RecordingTransport>(transport_);
    auto store = std::make_shared<fakes::MemorySettingsStore>(std::move(settings));
    controller = executor->call([&] {
      auto created = core::TempoController::create(
          {executor, std::make_shared<fakes::SteppingWallClock>(), store, recorder, quick, nullptr,
           makeLinkSession ? makeLinkSession(executor) : nullptr,
           makeMidiInput ? makeMidiInput(executor) : nullptr});
      subscription_ = created->observe([this, c = created.get()](core::ObservedProperty p) {
        if (p == core::ObservedProperty::linkSession) {
          linkSession.change([&](auto& state) { state = c->linkSessionState(); });
        }
        if (p == core::ObservedProperty::midiInput) {
          midiInput.change([&](auto& state) { state = c->midiInputState(); });
        }
        if (p != core::ObservedProperty::isConnected) return;
        connection_.change([&](auto& changes) {
          changes.push_back({c->isConnected(), Clock::now()});
        });
      });
      return created;
    });
  }
  ~ControllerUnderTest() {
    executor->call([&] {
      subscription_.reset();
      controller.reset();
    });
    // The transport completes in order: once this completes, every earlier completion ran.
    auto done = std::make_shared<std::promise<void>>();
    transport_->disconnect([done] { done->set_value(); });
    EXPECT_EQ(done->get_future().wait_for(patience), std::future_status::ready);
  }
  ControllerUnderTest(const ControllerUnderTest&) = delete;
  ControllerUnderTest& operator=(const ControllerUnderTest&) = delete;

  /// Runs work with the controller on its executor (the UI thread) and returns its result.
  template <class Work>
  auto onUiThread(Work work) {
    return executor->call([&] { return work(*controller); });
  }
  [[nodiscard]] bool isConnected() {
    return onUiThread([](core::TempoController& c) { return c.isConnected(); });
  }
  /// Sends a marker after everything the controller has handed to the transport so far, and
  /// waits until the transport is done with it: so is it with whatever came before.
  void settle() {
    auto done = std::make_shared<std::promise<void>>();
    onUiThread([&](core::TempoController&) {
      transport_->send("/test/marker", {}, [done](auto) { done->set_value(); });
      return 0;
    });
    EXPECT_EQ(done->get_future().wait_for(patience), std::future_status::ready);
  }
  [[nodiscard]] std::int64_t attemptsThatMadeAClient() const {
    return transport_->connectAttempt();
  }
  using Clock = std::chrono::steady_clock;
  /// When isConnected last turned to `connected`, waiting up to the deadline for it.
  std::optional<Clock::time_point> whenConnectedTurned(bool connected,
                                                       Clock::duration deadline = patience) {
    std::optional<Clock::time_point> at;
    connection_.waitUntil(
        [&](const auto& changes) {
          if (!changes.empty() && changes.back().first == connected) at = changes.back().second;
          return at.has_value();
        },
        deadline);
    return at;
  }

  std::shared_ptr<fakes::QueueExecutor> executor = std::make_shared<fakes::QueueExecutor>();
  std::shared_ptr<RecordingTransport> recorder;
  std::shared_ptr<core::TempoController> controller;
  /// The followed Link session as the controller last reported it.
  fakes::Recorder<std::optional<core::TempoSessionState>> linkSession;
  /// The MIDI input's state as the controller last reported it.
  fakes::Recorder<std::optional<core::MidiInputState>> midiInput;

 private:
  std::shared_ptr<link::EosOscTransport> transport_;
  fakes::Recorder<std::vector<std::pair<bool, Clock::time_point>>> connection_;
  core::Subscription subscription_;
};

}  // namespace tempik::faults
