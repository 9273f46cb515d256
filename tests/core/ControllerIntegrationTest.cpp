#include "core/TempoController.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <future>

#include "LoopbackConsole.h"
#include "link/EosOscTransport.h"
#include "support/MemorySettingsStore.h"
#include "support/ThreadExecutor.h"

namespace tempik::core {
namespace {

using namespace std::chrono_literals;
using Received = LoopbackConsole::Received;

constexpr auto patience = 20s;  // generous: the machine is shared and may run under TSan
const std::string effectKey = "/eos/user/20/key/effect";
const std::string settleMarker = "/test/settle";

/// Tap times half a second apart, whenever the console's taps are handled.
class SteppingWallClock final : public WallClock {
 public:
  [[nodiscard]] std::chrono::system_clock::time_point now() const override {
    return std::chrono::system_clock::time_point{} + 500ms * calls_++;
  }

 private:
  mutable std::atomic<std::int64_t> calls_{1'000'000};
};

/// The controller with the real transport on a real executor, against a loopback console.
class ControllerOnLoopback : public ::testing::Test {
 protected:
  void SetUp() override {
    // Weak: completions that arrive after the test has ended are dropped.
    transport = link::EosOscTransport::create(
        [weak = std::weak_ptr<fakes::ThreadExecutor>(executor)](std::function<void()> job) {
          if (const auto executor = weak.lock()) executor->post(std::move(job));
        });
    auto store = std::make_shared<fakes::MemorySettingsStore>(
        std::map<std::string, std::string, std::less<>>{
            {"eosIP", console.host()}, {"bpmFX", "1"}, {"bpmMacro", "7"}});
    controller = executor->call([&] {
      return TempoController::create({executor, clock, store, transport});
    });
  }

  void TearDown() override {
    executor->call([&] { controller.reset(); });
    // The transport completes in order: once this completes, every earlier completion has run.
    auto done = std::make_shared<std::promise<void>>();
    transport->disconnect([done] { done->set_value(); });
    EXPECT_EQ(done->get_future().wait_for(patience), std::future_status::ready);
    transport.reset();
  }

  /// Messages the console got, without the settle markers, from `from` on.
  std::vector<Received> waitFor(std::size_t count, std::size_t from = 0) {
    std::vector<Received> result;
    for (std::size_t total = count;; ++total) {
      auto all = console.waitForMessages(total, patience);
      if (!all) return result;
      result.clear();
      for (std::size_t i = 0; i < all->size(); ++i) {
        if ((*all)[i].address != settleMarker) result.push_back((*all)[i]);
      }
      if (result.size() >= from + count) {
        return {result.begin() + static_cast<std::ptrdiff_t>(from), result.end()};
      }
    }
  }

  /// Returns once everything the controller started before has reached the console: two
  /// marker round trips through the executor and the transport, which both keep order.
  void settle() {
    for (int round = 0; round < 2; ++round) {
      auto sent = std::make_shared<std::promise<void>>();
      executor->post(
          [this, sent] { transport->send(settleMarker, {}, [sent](auto) { sent->set_value(); }); });
      ASSERT_EQ(sent->get_future().wait_for(patience), std::future_status::ready);
    }
  }

  void consoleTaps(int count) {
    for (int i = 0; i < count; ++i) console.send("/tempik/tap", {});
  }

  bool isConnected() {
    return executor->call([&] { return controller->isConnected(); });
  }

  static std::vector<std::string> addresses(const std::vector<Received>& messages) {
    std::vector<std::string> result;
    for (const auto& message : messages) result.push_back(message.address);
    return result;
  }

  LoopbackConsole console;
  std::shared_ptr<fakes::ThreadExecutor> executor = std::make_shared<fakes::ThreadExecutor>();
  std::shared_ptr<SteppingWallClock> clock = std::make_shared<SteppingWallClock>();
  std::shared_ptr<link::EosOscTransport> transport;
  std::shared_ptr<TempoController> controller;
};

TEST_F(ControllerOnLoopback, ConnectsAtOnceAndPressesEffectTwice) {
  const auto presses = waitFor(2);
  ASSERT_EQ(addresses(presses), (std::vector{effectKey, effectKey}));
  const auto gap = presses[1].at - presses[0].at;
  EXPECT_GE(gap, 250ms);  // 300 ms on the controller's side; delivery of the first may lag
  EXPECT_LT(gap, 2s);
  EXPECT_TRUE(isConnected());
}

TEST_F(ControllerOnLoopback, ConsoleTapsSendTempoThenMacroLabel) {
  waitFor(2);
  settle();  // the key presses are over
  consoleTaps(3);
  const auto sent = waitFor(2, 2);
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].address, "/eos/user/20/newcmd");
  EXPECT_THAT(sent[0].arguments, ::testing::ElementsAre("Effect 1 BPM 120#"));
  EXPECT_EQ(sent[1].address, "/eos/set/macro/7/label");
  EXPECT_THAT(sent[1].arguments, ::testing::ElementsAre("BPM || 120"));
}

TEST_F(ControllerOnLoopback, ErrorFeedbackPressesKeysAndResendsOnce) {
  waitFor(2);
  settle();
  consoleTaps(3);
  waitFor(2, 2);

  console.send("/eos/out/user/20/cmd", {"LIVE: Effect Not Running"});
  const auto recovery = waitFor(4, 4);
  EXPECT_EQ(addresses(recovery),
            (std::vector<std::string>{effectKey, effectKey, "/eos/user/20/newcmd",
                                      "/eos/set/macro/7/label"}));

  console.send("/eos/out/user/20/cmd", {"LIVE: Effect Not Running"});
  waitFor(2, 8);
  settle();
  EXPECT_EQ(addresses(waitFor(2, 8)), (std::vector{effectKey, effectKey}));
}

TEST_F(ControllerOnLoopback, ReconnectsAfterTheConsoleDropsWithoutResending) {
  waitFor(2);
  settle();
  consoleTaps(3);
  waitFor(2, 2);

  console.dropConnections();
  ASSERT_TRUE(console.waitForConnections(2, 5s + patience));
  waitFor(2, 4);
  settle();
  const auto after = waitFor(2, 4);
  EXPECT_EQ(addresses(after), (std::vector{effectKey, effectKey}));
  for (const auto& press : after) EXPECT_EQ(press.connection, 1u);
  EXPECT_TRUE(isConnected());
}

}  // namespace
}  // namespace tempik::core
