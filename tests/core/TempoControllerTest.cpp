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

TEST_F(Settings, EveryAssignmentIsStoredButOnlyChangesNotifyLiveSubscriptions) {
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

  subscription.reset();
  controller->setBpmFX("2");
  EXPECT_EQ(changes.size(), 2u) << "an ended subscription was notified";
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

using Tapping = ControllerHarness;

TEST_F(Tapping, ANewTempoSendsTheCommandThenTheLabel) {
  const struct {
    std::string bpmFX, bpmMacro;
    std::vector<Sent> expected;
  } cases[] = {
      {"1", "", {tempoCommand("Effect 1 BPM 120#")}},
      {"", "7", {macroLabel(7, "BPM || 120")}},
      {"1,2", " 101 ", {tempoCommand("Effect 1 + 2 BPM 120#"), macroLabel(101, "BPM || 120")}},
      {"3000 - 4000", "x", {tempoCommand("Effect 3000 Thru 4000 BPM 120#")}},
      {"3000-", "0", {tempoCommand("Effect 3000 Thru - BPM 120#")}},
      {"1;2", "100000", {}},
  };
  for (const auto& c : cases) {
    startConnected({{"bpmFX", c.bpmFX}, {"bpmMacro", c.bpmMacro}});  // a fresh controller
    tap120();
    EXPECT_EQ(sent(), c.expected) << "bpmFX \"" << c.bpmFX << "\", bpmMacro \"" << c.bpmMacro
                                  << '"';
  }
}

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

// ---- Effect key presses and console feedback --------------------------------------------

using Feedback = ControllerHarness;

const std::string notRunning = "LIVE: Effect Not Running";

TEST_F(Feedback, PressesKeysAndResendsOncePerTempo) {
  startConnected({{"bpmFX", "1"}, {"bpmMacro", "5"}});
  receive("/eos/out/user/20/cmd", {notRunning});  // before any tempo: the keys only
  executor->advanceBy(1s);
  EXPECT_EQ(sent(), (std::vector<Sent>{effectKey, effectKey}));
  tap120(5.0);
  transport->clearCalls();
  const auto t = executor->now();
  receive("/eos/out/user/20/cmd", {notRunning});
  executor->advanceBy(1s);
  EXPECT_EQ(sent(), (std::vector<Sent>{effectKey, effectKey, tempoCommand("Effect 1 BPM 120#"),
                                       macroLabel(5, "BPM || 120")}));
  EXPECT_EQ(sendTimes(),
            (std::vector<ManualExecutor::Duration>{t, t + 300ms, t + 300ms, t + 300ms}));

  transport->clearCalls();
  receive("/eos/out/user/20/cmd", {"Cue List Does Not Exist"});
  executor->advanceBy(1s);
  EXPECT_EQ(sent(), (std::vector<Sent>{effectKey, effectKey}));

  transport->clearCalls();
  tapAt(20.0);
  tapAt(20.4);
  tapAt(20.8);  // 150 BPM: a new tempo may be resent again
  receive("/eos/out/user/20/cmd", {notRunning});
  executor->advanceBy(1s);
  EXPECT_EQ(sent().size(), 2u + 2u + 2u);
  EXPECT_EQ(sent().back(), macroLabel(5, "BPM || 150"));
}

TEST_F(Feedback, OnlyErrorReportsPressTheKeysAndResend) {
  const Sent report{"/eos/out/user/20/cmd", {notRunning}};
  const Sent tempo = tempoCommand("Effect 1 BPM 120#");
  const struct {
    const char* name;
    bool pressesFail;
    std::vector<Sent> reports;  // 100 ms apart
    std::vector<Sent> expected;
  } cases[] = {
      {"a report during the presses is dropped",
       false,
       {report, report},
       {effectKey, effectKey, tempo}},
      {"failed presses are ignored", true, {report}, {effectKey, effectKey, tempo}},
      {"other messages are ignored",
       false,
       {{"/eos/out/user/20/cmd", {"LIVE: effect not running"}},
        {"/eos/out/user/20/cmd", {}},
        {"/eos/out/user/20/cmd", {"", notRunning}},
        {"/eos/out/user/2/cmd", {notRunning}},
        {"/eos/out/user/20/cmd/", {notRunning}},
        {"/eos/out/user/20/key/effect", {notRunning}},
        {"/tempik/tap/", {}}},
       {}},
  };
  for (const auto& c : cases) {
    startConnected({{"bpmFX", "1"}});  // a fresh controller
    tap120();
    transport->clearCalls();
    if (c.pressesFail) {
      transport->sendAnswer = [](const auto& call) {
        return call.address == effectKey.address ? std::optional{link::SendError{}} : std::nullopt;
      };
    }
    for (const Sent& message : c.reports) {
      receive(message.address, message.arguments);
      executor->advanceBy(100ms);
    }
    executor->advanceBy(1s);
    EXPECT_EQ(sent(), c.expected) << c.name;
    EXPECT_TRUE(controller->isConnected()) << c.name;
    EXPECT_EQ(controller->tempo().taps().size(), 3u) << c.name;  // "/tempik/tap/" is no tap
    transport->sendAnswer = nullptr;
  }
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
