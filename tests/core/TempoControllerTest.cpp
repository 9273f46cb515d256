#include "core/TempoController.h"

#include <gtest/gtest.h>

#include <thread>

#include "ControllerHarness.h"

namespace tempik::core {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// ---- Settings and construction ----------------------------------------------------------

using Settings = ControllerHarness;

TEST_F(Settings, FirstRunUsesDefaultsAndWritesNothing) {
  start();
  EXPECT_EQ(controller->eosIP(), "127.0.0.1");
  EXPECT_EQ(controller->bpmFX(), "");
  EXPECT_EQ(controller->bpmMacro(), "");
  EXPECT_THAT(store->writes(), IsEmpty());
  // The receive handler is in place before the first attempt, which starts at once.
  ASSERT_GE(transport->calls().size(), 2u);
  EXPECT_EQ(transport->calls()[0].kind, Kind::setReceiveHandler);
  EXPECT_EQ(transport->calls()[1].kind, Kind::connect);
  EXPECT_EQ(transport->calls()[1].host, "127.0.0.1");
  EXPECT_EQ(transport->calls()[1].port, 3038);
  EXPECT_EQ(transport->calls()[1].at, 0ms);
}

TEST_F(Settings, StoredValuesAreLoadedNotWrittenBackNorReconnected) {
  start({{"eosIP", "10.0.0.9"}, {"bpmFX", "1-4"}, {"bpmMacro", "7"}});
  EXPECT_EQ(controller->eosIP(), "10.0.0.9");
  EXPECT_EQ(controller->bpmFX(), "1-4");
  EXPECT_EQ(controller->macroNumber(), 7);
  executor->advanceBy(4s);
  EXPECT_THAT(store->writes(), IsEmpty());
  EXPECT_EQ(transport->callsOf(Kind::connect).size(), 1u);
}

TEST_F(Settings, EveryAssignmentIsStoredButOnlyChangesNotify) {
  start();
  changes.clear();
  controller->setBpmFX("1");
  controller->setBpmFX("1");
  controller->setBpmMacro(" 9 ");
  controller->setBpmMacro(" 9 ");
  EXPECT_THAT(store->writes(),
              ElementsAre(std::pair{"bpmFX", "1"}, std::pair{"bpmFX", "1"},
                          std::pair{"bpmMacro", " 9 "}, std::pair{"bpmMacro", " 9 "}));
  EXPECT_THAT(changes, ElementsAre(ObservedProperty::bpmFX, ObservedProperty::bpmMacro));
}

TEST_F(Settings, SubscriptionEndsWhenDestroyed) {
  start();
  subscription.reset();
  changes.clear();
  controller->setBpmFX("2");
  EXPECT_THAT(changes, IsEmpty());
}

TEST_F(Settings, MacroNumber) {
  start();
  const std::optional<std::int64_t> none;
  const std::vector<std::pair<std::string, std::optional<std::int64_t>>> cases = {
      {"12", 12},    {" \t7 \t", 7}, {"+5", 5},          {"99999", 99999},
      {"00042", 42}, {"0", none},    {"-3", none},       {"100000", none},
      {"1.5", none}, {"12a", none},  {"", none},         {"42\n", none},
      {"+-5", none}, {"+", none},    {"\u00A042", none}, {"99999999999999999999999", none}};
  for (const auto& [text, expected] : cases) {
    controller->setBpmMacro(text);
    EXPECT_EQ(controller->macroNumber(), expected) << "bpmMacro: \"" << text << "\"";
  }
}

// ---- Tapping and applying the tempo -----------------------------------------------------

struct ApplyCase {
  std::string bpmFX;
  std::string bpmMacro;
  std::vector<Sent> expected;
};

class Applying : public ControllerHarness, public ::testing::WithParamInterface<ApplyCase> {};

TEST_P(Applying, SendsCommandThenLabel) {
  startConnected({{"bpmFX", GetParam().bpmFX}, {"bpmMacro", GetParam().bpmMacro}});
  tap120();
  EXPECT_EQ(sent(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    SettingsCombinations, Applying,
    ::testing::Values(
        ApplyCase{"1", "", {tempoCommand("Effect 1 BPM 120#")}},
        ApplyCase{"", "7", {macroLabel(7, "BPM || 120")}},
        ApplyCase{
            "1,2", " 101 ", {tempoCommand("Effect 1 + 2 BPM 120#"), macroLabel(101, "BPM || 120")}},
        ApplyCase{"3000 - 4000", "x", {tempoCommand("Effect 3000 Thru 4000 BPM 120#")}},
        ApplyCase{"3000-", "0", {tempoCommand("Effect 3000 Thru - BPM 120#")}},
        ApplyCase{"1;2", "100000", {}}));

using Tapping = ControllerHarness;

TEST_F(Tapping, SteadyTempoIsSentOnceAndBouncesChangeNothing) {
  startConnected({{"bpmFX", "1"}});
  tap120();
  tapAt(1.5);
  tapAt(1.55);  // bounce
  tapAt(2.0);
  EXPECT_EQ(sent(), std::vector<Sent>{tempoCommand("Effect 1 BPM 120#")});
  EXPECT_EQ(controller->tempo().taps().size(), 4u);
  EXPECT_EQ(changes, std::vector<ObservedProperty>(5, ObservedProperty::tempo));

  tapAt(2.4);
  tapAt(2.8);  // taps now 1.5, 2.0, 2.4, 2.8: 1.3 s / 3 gives 138
  EXPECT_EQ(sent().back(), tempoCommand("Effect 1 BPM 138#"));
}

TEST_F(Tapping, NothingIsSentWhileDisconnectedNorLater) {
  transport->connectAnswer = link::ConnectOutcome{};
  start({{"bpmFX", "1"}, {"bpmMacro", "2"}});
  tap120();
  EXPECT_EQ(controller->tempo().bpm(), 120);
  transport->connectAnswer = link::ConnectOutcome{true};
  executor->advanceBy(5s);
  EXPECT_TRUE(controller->isConnected());
  EXPECT_THAT(sent(), IsEmpty());
}

TEST_F(Tapping, NothingIsSentWhileEffectKeysArePressed) {
  start({{"bpmFX", "1"}});  // the fresh connection presses the keys at 0 ms and 300 ms
  tap120();
  executor->advanceBy(1s);
  EXPECT_EQ(sent(), (std::vector<Sent>{effectKey, effectKey}));
}

TEST_F(Tapping, FailedCommandDropsLinkAndLabel) {
  startConnected({{"bpmFX", "1"}, {"bpmMacro", "2"}});
  transport->sendAnswer = [](const auto&) { return link::SendError{}; };
  tap120();
  EXPECT_EQ(sent(), std::vector<Sent>{tempoCommand("Effect 1 BPM 120#")});
  EXPECT_FALSE(controller->isConnected());
  EXPECT_EQ(changes.back(), ObservedProperty::isConnected);
}

// ---- Effect key presses and console feedback --------------------------------------------

using Feedback = ControllerHarness;

const std::string notRunning = "LIVE: Effect Not Running";

TEST_F(Feedback, PressesKeysAndResendsOncePerTempo) {
  startConnected({{"bpmFX", "1"}, {"bpmMacro", "5"}});
  tap120();
  const std::vector<Sent> tempo120 = sent();
  transport->clearCalls();

  const auto t = executor->now();
  receive("/eos/out/user/20/cmd", {notRunning});
  executor->advanceBy(1s);
  std::vector<Sent> expected{effectKey, effectKey};
  expected.insert(expected.end(), tempo120.begin(), tempo120.end());
  EXPECT_EQ(sent(), expected);
  EXPECT_EQ(sendTimes(),
            (std::vector<ManualExecutor::Duration>{t, t + 300ms, t + 300ms, t + 300ms}));

  transport->clearCalls();
  receive("/eos/out/user/20/cmd", {"Cue List Does Not Exist"});
  executor->advanceBy(1s);
  EXPECT_EQ(sent(), (std::vector<Sent>{effectKey, effectKey}));

  transport->clearCalls();
  tapAt(10.0);
  tapAt(10.4);
  tapAt(10.8);  // 150 BPM: a new tempo may be resent again
  receive("/eos/out/user/20/cmd", {notRunning});
  executor->advanceBy(1s);
  EXPECT_EQ(sent().size(), 2u + 2u + 2u);
  EXPECT_EQ(sent().back(), macroLabel(5, "BPM || 150"));
}

TEST_F(Feedback, BeforeAnyTempoOnlyPressesKeys) {
  startConnected({{"bpmFX", "1"}});
  receive("/eos/out/user/20/cmd", {notRunning});
  executor->advanceBy(1s);
  tap120(5.0);
  transport->clearCalls();
  receive("/eos/out/user/20/cmd", {notRunning});
  executor->advanceBy(1s);
  EXPECT_EQ(sent(), (std::vector<Sent>{effectKey, effectKey, tempoCommand("Effect 1 BPM 120#")}));
}

TEST_F(Feedback, ReportsDuringASequenceAreDropped) {
  startConnected({{"bpmFX", "1"}});
  tap120();
  transport->clearCalls();
  receive("/eos/out/user/20/cmd", {notRunning});
  executor->advanceBy(100ms);
  receive("/eos/out/user/20/cmd", {notRunning});
  executor->advanceBy(1s);
  EXPECT_EQ(sent(), (std::vector<Sent>{effectKey, effectKey, tempoCommand("Effect 1 BPM 120#")}));
}

TEST_F(Feedback, FailedPressesAreIgnored) {
  startConnected({{"bpmFX", "1"}});
  tap120();
  transport->clearCalls();
  transport->sendAnswer = [](const auto& call) {
    return call.address == effectKey.address ? std::optional{link::SendError{}} : std::nullopt;
  };
  receive("/eos/out/user/20/cmd", {notRunning});
  executor->advanceBy(1s);
  EXPECT_EQ(sent(), (std::vector<Sent>{effectKey, effectKey, tempoCommand("Effect 1 BPM 120#")}));
  EXPECT_TRUE(controller->isConnected());
}

TEST_F(Feedback, OtherMessagesAreIgnored) {
  startConnected({{"bpmFX", "1"}});
  tap120();
  transport->clearCalls();
  receive("/eos/out/user/20/cmd", {"LIVE: effect not running"});
  receive("/eos/out/user/20/cmd", {});
  receive("/eos/out/user/20/cmd", {"", notRunning});
  receive("/eos/out/user/2/cmd", {notRunning});
  receive("/eos/out/user/20/cmd/", {notRunning});
  receive("/eos/out/user/20/key/effect", {notRunning});
  receive("/tempik/tap/", {});
  executor->advanceBy(1s);
  EXPECT_THAT(sent(), IsEmpty());
  EXPECT_EQ(controller->tempo().taps().size(), 3u);
}

TEST_F(Feedback, ConsoleTapsCountLikeButtonTapsFromAnyThread) {
  startConnected({{"bpmFX", "1"}});
  for (double s : {0.0, 0.5, 1.0}) {
    clock->set(wallTime(s));
    std::thread([this] { transport->receive("/tempik/tap", {"ignored"}); }).join();
    EXPECT_EQ(controller->tempo().taps().size(),
              static_cast<std::size_t>(s * 2));  // handled on the executor only
    executor->runReady();
  }
  EXPECT_EQ(controller->tempo().taps().back(), wallTime(1.0));
  EXPECT_EQ(sent(), std::vector<Sent>{tempoCommand("Effect 1 BPM 120#")});
}

// ---- Destruction -------------------------------------------------------------------------

TEST_F(Settings, DestroyedControllerStopsEverything) {
  start({{"bpmFX", "1"}});  // key presses under way, check loop to follow
  controller->setEosIP("10.0.0.2");
  ASSERT_GT(executor->pendingTimers(), 0u);
  std::weak_ptr<TempoController> weak = controller;
  controller.reset();
  EXPECT_TRUE(weak.expired());
  EXPECT_EQ(executor->pendingTimers(), 0u);

  const auto callsBefore = transport->calls().size();
  receive("/eos/out/user/20/cmd", {notRunning});
  receive("/tempik/tap");
  executor->advanceBy(1min);
  EXPECT_EQ(transport->calls().size(), callsBefore);
}

}  // namespace
}  // namespace tempik::core
