// The controller in virtual time, with the real timings, against a scripted transport.
#include "core/TempoController.h"

#include <algorithm>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/FakeConsoleTransport.h"
#include "support/FakeMidiInput.h"
#include "support/FakeTempoSession.h"
#include "support/Fakes.h"
#include "support/ManualExecutor.h"

namespace tempik::core {
namespace {

using namespace std::chrono_literals;
using ::testing::IsEmpty;
using Kind = fakes::FakeConsoleTransport::Kind;
using Duration = fakes::ManualExecutor::Duration;
using Texts = std::vector<std::string>;

const std::string key = "/eos/user/20/key/effect";
const std::string ping = "/eos/ping";
const std::string notRunning = "LIVE: Effect Not Running";
std::string command(const std::string& text) {
  return "/eos/user/20/newcmd \"" + text + '"';
}
std::string label(int macro, const std::string& text) {
  return "/eos/set/macro/" + std::to_string(macro) + "/label \"" + text + '"';
}

/// Keeps every line, as the application's log would print it with every topic on.
struct RecordingLog final : Log {
  [[nodiscard]] bool isEnabled(LogTopic) const override { return true; }
  void write(LogTopic, std::string_view line) override { lines.emplace_back(line); }
  Texts lines;
};

class Controller : public ::testing::Test {
 public:
  /// Creates the controller; called again, replaces it with a fresh one.
  void start(fakes::MemorySettingsStore::Values settings = {}) {
    controller =
        TempoController::create({executor,
                                 clock,
                                 std::make_shared<fakes::MemorySettingsStore>(std::move(settings)),
                                 transport,
                                 {},
                                 log,
                                 session,
                                 midi});
    executor->runReady();
  }
  /// Started, connected, Effect keys pressed; calls forgotten.
  void startConnected(fakes::MemorySettingsStore::Values settings = {}) {
    start(std::move(settings));
    executor->advanceBy(300ms);
    ASSERT_TRUE(controller->isConnected());
    transport->calls.clear();
  }
  void TearDown() override {
    controller.reset();
    executor->advanceBy(1min);  // tasks that hold the controller strongly run to their end
    transport->dropUnanswered();
  }
  void tapAt(double seconds) {
    controller->tap(std::chrono::system_clock::time_point{} + 1000h +
                    std::chrono::duration_cast<std::chrono::system_clock::duration>(
                        std::chrono::duration<double>(seconds)));
    executor->runReady();
  }
  void tap120(double from = 0.0) {
    for (double s : {from, from + 0.5, from + 1.0}) tapAt(s);
  }
  void receive(const std::string& address, const Texts& arguments = {}) {
    transport->receive(address, arguments);
    executor->runReady();
  }
  /// What went to the console, pings left out.
  [[nodiscard]] Texts sent() const {
    Texts texts;
    for (auto& text : transport->texts(Kind::send)) {
      if (!text.starts_with(ping)) texts.push_back(text);
    }
    return texts;
  }
  [[nodiscard]] std::vector<Duration> sentTimes() const {
    std::vector<Duration> times;
    for (const auto& call : transport->calls) {
      if (call.kind == Kind::send && !call.text.starts_with(ping)) times.push_back(call.at);
    }
    return times;
  }
  /// The console answers the last ping sent, as Eos does.
  void answerPing() {
    const Texts all = transport->texts(Kind::send);
    const auto last = std::find_if(all.rbegin(), all.rend(),
                                   [](const std::string& t) { return t.starts_with(ping); });
    ASSERT_NE(last, all.rend());
    const std::string token = last->substr(ping.size() + 2, last->size() - ping.size() - 3);
    receive("/eos/out/ping", {token});
  }

  std::shared_ptr<fakes::ManualExecutor> executor = std::make_shared<fakes::ManualExecutor>();
  std::shared_ptr<fakes::FakeWallClock> clock = std::make_shared<fakes::FakeWallClock>();
  std::shared_ptr<fakes::FakeConsoleTransport> transport =
      std::make_shared<fakes::FakeConsoleTransport>(executor);
  std::shared_ptr<RecordingLog> log = std::make_shared<RecordingLog>();
  std::shared_ptr<fakes::FakeTempoSession> session = std::make_shared<fakes::FakeTempoSession>();
  std::shared_ptr<fakes::FakeMidiInput> midi = std::make_shared<fakes::FakeMidiInput>();
  std::shared_ptr<TempoController> controller;
};

TEST_F(Controller, ANewTempoSendsTheCommandThenTheLabelOnce) {
  const struct {
    std::string bpmFX, bpmMacro;
    Texts expected;
  } cases[] = {
      {"1", "", {command("Effect 1 BPM 120#")}},
      {"", "7", {label(7, "BPM || 120")}},
      {"1,2", " 101 ", {command("Effect 1 + 2 BPM 120#"), label(101, "BPM || 120")}},
      {"3000-", "0", {command("Effect 3000 Thru - BPM 120#")}},
      {"1;2", "100000", {}},
  };
  for (const auto& c : cases) {
    startConnected({{"bpmFX", c.bpmFX}, {"bpmMacro", c.bpmMacro}});
    tap120();
    EXPECT_EQ(sent(), c.expected) << c.bpmFX << " / " << c.bpmMacro;
  }
  // The last controller sends nothing; the one before, with both, goes on from here.
  startConnected({{"bpmFX", "1"}});
  tap120();
  tapAt(1.5);
  tapAt(1.55);  // a bounce
  tapAt(2.0);   // the same tempo again: nothing new to send
  EXPECT_EQ(sent(), Texts{command("Effect 1 BPM 120#")});
  EXPECT_EQ(controller->tempo().taps().size(), 4u);
  tapAt(2.4);
  tapAt(2.8);  // taps 1.5, 2.0, 2.4, 2.8: 1.3 s / 3 gives 138
  EXPECT_EQ(sent().back(), command("Effect 1 BPM 138#"));
  // Nowhere to send it, then somewhere: the same tempo tapped again goes, as it never went.
  startConnected();
  tap120();
  EXPECT_TRUE(controller->hasUnsentTempo());
  controller->setBpmFX("2");
  tapAt(1.5);
  EXPECT_EQ(sent(), Texts{command("Effect 2 BPM 120#")});
}

// A tempo the console never got goes out once, after the next key presses; one it got never
// goes again on a reconnect.
TEST_F(Controller, ATempoTheConsoleNeverGotGoesOutOnceWhenTheLinkIsBack) {
  const Texts tempo{command("Effect 1 BPM 120#"), label(2, "BPM || 120")};
  const struct {
    const char* name;
    std::function<void(Controller&)> meanwhile;  // starts connected, ends with the link down
    Texts expected;                              // from the reconnect on
  } cases[] = {
      {"tapped while disconnected",
       [](Controller& t) {
         t.transport->goDown(link::LinkProblem::resetByConsole);
         t.executor->runReady();
         t.tap120();
       },
       {key, key, tempo[0], tempo[1]}},
      {"its send failed",
       [](Controller& t) {
         t.transport->sendAnswer = [](const auto&) { return std::optional{link::SendError{}}; };
         t.tap120();
         t.transport->sendAnswer = nullptr;
       },
       {key, key, tempo[0], tempo[1]}},
      {"delivered, then the link dropped",
       [](Controller& t) {
         t.tap120();
         t.transport->goDown(link::LinkProblem::closedByConsole);
       },
       {key, key}},
  };
  for (const auto& c : cases) {
    startConnected({{"bpmFX", "1"}, {"bpmMacro", "2"}});
    c.meanwhile(*this);
    executor->runReady();
    EXPECT_FALSE(controller->isConnected()) << c.name;
    EXPECT_EQ(controller->hasUnsentTempo(), c.expected.size() > 2) << c.name;
    transport->calls.clear();
    executor->advanceBy(5s + 300ms);  // the next pass connects and presses the keys
    EXPECT_EQ(sent(), c.expected) << c.name;
    EXPECT_FALSE(controller->hasUnsentTempo()) << c.name;
    executor->advanceBy(5s + 300ms);  // and the pass after sends nothing more
    EXPECT_EQ(sent(), c.expected) << c.name;
  }
  // Tapped during the key presses: the same tempo, sent when they end, and not again.
  transport->connectAnswer = fakes::linkDown();
  start({{"bpmFX", "1"}});
  transport->calls.clear();
  const auto started = executor->now();
  transport->connectAnswer = fakes::newConnection;
  executor->advanceBy(5s);
  tap120(10.0);
  tapAt(10.6);  // the same tempo again, still held
  executor->advanceBy(1s);
  EXPECT_EQ(sent(), (Texts{key, key, tempo[0]}));
  EXPECT_EQ(sentTimes().back(), started + 5300ms);
  tapAt(11.1);  // unchanged and delivered: nothing new
  EXPECT_EQ(sent().size(), 3u);
}

// A console that answers pings and then stops reading is given up on with a reset; a tempo
// written after its last answer goes out again on the next connection. One that never
// answered is never judged.
TEST_F(Controller, AConsoleThatStopsAnsweringPingsIsReset) {
  startConnected({{"bpmFX", "1"}});
  receive("/eos/out/ping", {"tempik 0"});                        // no answer to any ping of ours
  for (int pass = 0; pass < 4; ++pass) executor->advanceBy(5s);  // no answers: still fine
  EXPECT_TRUE(controller->isConnected());
  EXPECT_THAT(transport->texts(Kind::abort), IsEmpty());

  answerPing();
  tap120(100.0);  // written; the ping that confirms it goes next
  EXPECT_EQ(sent(), Texts{command("Effect 1 BPM 120#")});
  const auto stopped = executor->now();
  for (double at : {110.0, 110.6, 111.2}) tapAt(at);  // 100 BPM: held until the console answers
  EXPECT_TRUE(controller->hasUnsentTempo());
  executor->advanceBy(4999ms);
  EXPECT_TRUE(controller->isConnected());
  executor->advanceBy(1ms);
  EXPECT_FALSE(controller->isConnected());
  EXPECT_EQ(controller->connectionProblem(), link::LinkProblem::stalled);
  EXPECT_EQ(transport->times(Kind::abort), std::vector<Duration>{stopped + 5s});
  transport->calls.clear();
  executor->advanceBy(5300ms);  // reconnected: keys, then the held tempo once
  EXPECT_EQ(sent(), (Texts{key, key, command("Effect 1 BPM 100#")}));
  // Answered only before it was written, then silent: not known to have arrived, so it goes
  // again after the next reset.
  answerPing();
  transport->calls.clear();
  executor->advanceBy(5s + 5s + 5300ms);
  EXPECT_EQ(transport->texts(Kind::abort).size(), 1u);
  EXPECT_EQ(sent(), (Texts{key, key, command("Effect 1 BPM 100#")}));
  // Another console, one without ping: judged afresh, never by the last one's answers.
  answerPing();
  controller->setEosIP("10.0.0.9");
  executor->advanceBy(750ms + 300ms);
  transport->calls.clear();
  executor->advanceBy(20s);
  EXPECT_THAT(transport->texts(Kind::abort), IsEmpty());
  EXPECT_TRUE(controller->isConnected());
}
TEST_F(Controller, ErrorFeedbackPressesEffectTwiceAndResendsOncePerTempo) {
  startConnected({{"bpmFX", "1"}, {"bpmMacro", "5"}});
  receive("/eos/out/user/20/cmd", {notRunning});  // before any tempo: the keys only
  executor->advanceBy(1s);
  EXPECT_EQ(sent(), (Texts{key, key}));
  tap120(5.0);
  transport->calls.clear();
  const auto t = executor->now();
  receive("/eos/out/user/20/cmd", {notRunning});
  executor->advanceBy(1s);
  EXPECT_EQ(sent(), (Texts{key, key, command("Effect 1 BPM 120#"), label(5, "BPM || 120")}));
  EXPECT_EQ(sentTimes(), (std::vector<Duration>{t, t + 300ms, t + 300ms, t + 300ms}));

  transport->calls.clear();
  receive("/eos/out/user/20/cmd", {"Cue List Does Not Exist"});  // the same tempo: keys only
  executor->advanceBy(1s);
  EXPECT_EQ(sent(), (Texts{key, key}));
  tapAt(20.0);
  tapAt(20.4);
  tapAt(20.8);  // 150 BPM: a new tempo may be resent again
  receive("/eos/out/user/20/cmd", {notRunning});
  executor->advanceBy(1s);
  EXPECT_EQ(sent().size(), 2u + 2u + 2u + 2u);  // keys; the new tempo; keys and resend
  EXPECT_EQ(sent().back(), label(5, "BPM || 150"));
  // The log tells the story: the connection, each press sequence, the error, each tempo sent.
  EXPECT_THAT(log->lines,
              ::testing::IsSupersetOf(Texts{"Connected to 127.0.0.1:3038", "Pressing Effect twice",
                                            "The console reports \"LIVE: Effect Not Running\"",
                                            "Sending tempo 150: " + command("Effect 1 BPM 150#") +
                                                ", " + label(5, "BPM || 150")}));
}

TEST_F(Controller, OnlyErrorReportsPressTheKeysAndResend) {
  const Texts report{"/eos/out/user/20/cmd", notRunning};
  const std::string tempo = command("Effect 1 BPM 120#");
  const struct {
    const char* name;
    bool pressesFail;
    std::vector<Texts> reports;  // address, then arguments; 100 ms apart
    Texts expected;
  } cases[] = {
      {"a report during the presses is dropped", false, {report, report}, {key, key, tempo}},
      {"failed presses are ignored", true, {report}, {key, key, tempo}},
      {"other messages are ignored",
       false,
       {{"/eos/out/user/20/cmd", "LIVE: effect not running"},
        {"/eos/out/user/20/cmd"},
        {"/eos/out/user/20/cmd", "", notRunning},
        {"/eos/out/user/2/cmd", notRunning},
        {"/eos/out/user/20/cmd/", notRunning},
        {"/tempik/tap/"}},
       {}},
  };
  for (const auto& c : cases) {
    startConnected({{"bpmFX", "1"}});
    tap120();
    transport->calls.clear();
    if (c.pressesFail) {
      transport->sendAnswer = [](const auto& address) {
        return address == key ? std::optional{link::SendError{}} : std::nullopt;
      };
    }
    for (const Texts& message : c.reports) {
      receive(message[0], Texts(message.begin() + 1, message.end()));
      executor->advanceBy(100ms);
    }
    executor->advanceBy(1s);
    EXPECT_EQ(sent(), c.expected) << c.name;
    EXPECT_TRUE(controller->isConnected()) << c.name;
    EXPECT_EQ(controller->tempo().taps().size(), 3u) << c.name;  // "/tempik/tap/" is no tap
    transport->sendAnswer = nullptr;
  }
}

TEST_F(Controller, ChecksTheConnectionFiveSecondsAfterEachAttemptEnds) {
  transport->connectAnswer.reset();  // the test answers each attempt
  start();
  EXPECT_EQ(transport->texts(Kind::connect), Texts{"127.0.0.1:3038"});
  executor->advanceBy(2s);
  transport->finishConnect(fakes::linkDown());  // a 2 s attempt that failed
  executor->advanceBy(5s);                      // 7 s: already connected, nothing new
  transport->finishConnect(fakes::sameConnection);
  executor->runReady();
  EXPECT_TRUE(controller->isConnected());
  executor->advanceBy(5s);  // 12 s: still connected
  transport->finishConnect(fakes::sameConnection);
  executor->advanceBy(5s);  // 17 s: the link was lost: a fresh connection presses the keys
  transport->finishConnect(fakes::newConnection);
  executor->advanceBy(5300ms);
  EXPECT_EQ(sent(), (Texts{key, key}));
  EXPECT_EQ(sentTimes(), (std::vector<Duration>{17s, 17300ms}));
  // The next pass waits for the key presses to end.
  EXPECT_EQ(transport->times(Kind::connect), (std::vector<Duration>{0s, 7s, 12s, 17s, 22300ms}));
}

TEST_F(Controller, EditingTheHostReconnectsOnceToTheWholeTrimmedAddress) {
  startConnected();
  const auto edited = executor->now();
  for (const char* typed : {"1", "19", "192.168.1.9", " 192.168.1.9\u2003"}) {
    controller->setEosIP(typed);
    EXPECT_FALSE(controller->isConnected());
    executor->advanceBy(200ms);
  }
  executor->advanceBy(549ms);
  EXPECT_THAT(transport->texts(Kind::connect), IsEmpty());
  executor->advanceBy(2s);
  EXPECT_EQ(transport->times(Kind::connect), std::vector<Duration>{edited + 600ms + 750ms});
  EXPECT_EQ(transport->texts(Kind::connect), Texts{"192.168.1.9:3038"});
  EXPECT_TRUE(controller->isConnected());  // the outcome is compared with the trimmed field

  transport->calls.clear();
  controller->setEosIP(" \u00A0\n");  // blank: drop the link and keep disconnecting
  executor->advanceBy(750ms + 5s);
  EXPECT_EQ(transport->texts(Kind::disconnect).size(), 2u);
  EXPECT_THAT(transport->texts(Kind::connect), IsEmpty());
  EXPECT_FALSE(controller->isConnected());
}

TEST_F(Controller, StaleOutcomesDecideNothing) {
  transport->connectAnswer.reset();
  start({{"eosIP", "10.0.0.1"}});  // attempt 1 under way
  controller->setEosIP("10.0.0.2");
  transport->finishConnect(
      fakes::newConnection);  // 10.0.0.1 connected, but nobody wants it any more
  executor->runReady();
  EXPECT_FALSE(controller->isConnected());
  EXPECT_THAT(sent(), IsEmpty());

  controller->setEosIP("10.0.0.1");
  executor->advanceBy(750ms);  // attempt 2 to the same address as attempt 3
  controller->setEosIP("10.0.0.1");
  executor->advanceBy(750ms);
  ASSERT_EQ(transport->unansweredConnects(), 2u);
  transport->finishConnect(fakes::newConnection, 1);
  executor->runReady();
  transport->finishConnect(fakes::linkDown(), 0);  // the older attempt failed, after the newer won
  executor->runReady();
  EXPECT_TRUE(controller->isConnected());
}

TEST_F(Controller, AFailedSendDropsTheLinkAndTheRestOfTheTempo) {
  startConnected({{"bpmFX", "1"}, {"bpmMacro", "2"}});
  transport->sendAnswer = [](const auto&) { return std::optional{link::SendError{}}; };
  tap120();
  EXPECT_EQ(sent(), Texts{command("Effect 1 BPM 120#")});  // no label after it
  EXPECT_FALSE(controller->isConnected());
  EXPECT_TRUE(controller->hasUnsentTempo());
}

TEST_F(Controller, DestroyedControllerStopsEverything) {
  start({{"bpmFX", "1"}});  // key presses under way, check loop to follow
  controller->setEosIP("10.0.0.2");
  ASSERT_GT(executor->pendingTimers(), 0u);
  std::weak_ptr<TempoController> weak = controller;
  controller.reset();
  EXPECT_TRUE(weak.expired());
  EXPECT_EQ(executor->pendingTimers(), 0u);
  const auto callsBefore = transport->calls.size();
  receive("/eos/out/user/20/cmd", {notRunning});
  receive("/tempik/tap");
  executor->advanceBy(1min);
  EXPECT_EQ(transport->calls.size(), callsBefore);
}

}  // namespace
}  // namespace tempik::core

namespace tempik::core {
namespace {

// What happens, at a time in milliseconds: the session reports a tempo (with one peer unless
// said), the operator taps 120, picks a multiplier, or stops following.
struct Step {
  int ms;
  enum { session, tap120, multiply, leave, join } what;
  double value = 0;
  std::size_t peers = 1;
};
using Sends = std::vector<std::pair<int, int>>;  // when, which BPM

TEST_F(Controller, FollowsTheSessionByTheRules) {
  const auto L = [](int ms, double tempo, std::size_t peers = 1) {
    return Step{ms, Step::session, tempo, peers};
  };
  const auto x = [](int ms, double factor) { return Step{ms, Step::multiply, factor}; };
  const struct {
    const char* name;
    std::vector<Step> steps;
    Sends expected;
  } cases[] = {
      {"alone, the session's tempo is only tempik's own; a peer's goes at once, rounded",
       {L(0, 120, 0), L(100, 127.5)},
       {{100, 128}}},
      {"0.6 away takes over, less does not",
       {L(0, 128), L(1000, 128.59), L(2000, 127.41), L(3000, 128.6)},
       {{0, 128}, {3000, 129}}},
      {"a wobble around a half never flaps",
       {L(0, 127.55), L(1000, 127.45), L(2000, 127.52), L(3000, 127.4)},
       {{0, 128}, {3000, 127}}},
      {"one per interval while it moves, the latest at its end",
       {L(0, 120), L(100, 125), L(200, 130), L(300, 135), L(600, 140), L(1100, 140.2),
        L(1600, 141)},
       {{0, 120}, {500, 135}, {1000, 140}, {1600, 141}}},
      {"a tap wins, even over a change still waiting; only a new change takes over again",
       {L(0, 128), L(100, 131), Step{200, Step::tap120}, L(1500, 131, 2), L(2000, 131.3)},
       {{0, 128}, {200, 120}, {2000, 131}}},
      {"the multiplier applies at once, to the session and to taps",
       {L(0, 127.6), x(100, 0.5), x(200, 2), Step{300, Step::tap120}, L(1000, 128.2)},
       {{0, 128}, {100, 64}, {200, 255}, {300, 240}, {1000, 256}}},
      {"after leaving nothing of the session goes out; on rejoining it goes at once",
       {L(0, 128), L(100, 135), Step{200, Step::leave}, Step{300, Step::join}, L(300, 141)},
       {{0, 128}, {300, 141}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    controller.reset();
    startConnected({{"bpmFX", "1"}, {"followLink", "true"}, {"tempoMultiplier", "1"}});
    const auto start = executor->now();
    for (const auto& step : c.steps) {
      executor->advanceBy(start + std::chrono::milliseconds(step.ms) - executor->now());
      if (step.what == Step::session) session->report(step.value, step.peers);
      if (step.what == Step::tap120) tap120(step.ms / 1000.0 + 100);
      if (step.what == Step::leave || step.what == Step::join) {
        controller->setFollowsLink(step.what == Step::join);
      }
      if (step.what == Step::multiply) {
        controller->setTempoMultiplier(step.value < 1 ? TempoMultiplier::half
                                                      : TempoMultiplier::twice);
      }
      executor->runReady();
    }
    executor->advanceBy(2s);
    Sends sends;
    for (std::size_t i = 0; const auto& text : sent()) {
      const auto at =
          std::chrono::duration_cast<std::chrono::milliseconds>(sentTimes()[i++] - start);
      sends.emplace_back(int(at.count()), std::stoi(text.substr(text.find("BPM ") + 4)));
    }
    EXPECT_EQ(sends, c.expected);
    EXPECT_EQ(controller->bpm(),
              c.expected.empty() ? std::nullopt : std::optional(c.expected.back().second));
  }
}

// The switch and the multiplier are settings: loaded, saved, and the session joined or left.
TEST_F(Controller, FollowingAndTheMultiplierAreKeptAsSettings) {
  auto settings = std::make_shared<fakes::MemorySettingsStore>(
      fakes::MemorySettingsStore::Values{{"followLink", "true"}, {"tempoMultiplier", "2"}});
  controller = TempoController::create({executor, clock, settings, transport, {}, log, session});
  EXPECT_TRUE(controller->followsLink() && session->joined());
  EXPECT_EQ(controller->tempoMultiplier(), TempoMultiplier::twice);
  controller->setFollowsLink(false);
  controller->setTempoMultiplier(TempoMultiplier::half);
  EXPECT_EQ(settings->writes, (std::vector<std::pair<std::string, std::string>>{
                                  {"followLink", "false"}, {"tempoMultiplier", "0.5"}}));
  controller->setFollowsLink(true);
  controller.reset();
  EXPECT_TRUE(session->joins == 2 && !session->joined()) << "quitting stays in the session";
  // Without a session there is nothing to follow, whatever the settings say.
  controller = TempoController::create({executor, clock, settings, transport, {}, log, nullptr});
  controller->setFollowsLink(true);
  EXPECT_FALSE(controller->canFollowLink() || controller->followsLink());
}

// MIDI in virtual time: messages at their moments (ms), a pad learned as "note 10 36".
struct At {
  double ms;
  MidiMessage message;
  unsigned port = 0;
};
using Timed = std::vector<At>;
const MidiMessage pad = MidiNoteOn{10, 36, 100};

// count clocks at bpm from the moment from, each up to 3 ms early or late.
Timed clocks(double from, double bpm, int count, unsigned port = 0) {
  Timed timed;
  unsigned noise = 12345;
  for (int i = 0; i < count; ++i) {
    noise = noise * 1103515245 + 12345;
    const double jitter = double(noise >> 16 & 0x7FFF) / 0x7FFF * 6.0 - 3.0;
    timed.push_back({from + i * 60000.0 / bpm / 24 + jitter, MidiClockMessage::clock, port});
  }
  return timed;
}
Timed taps120(double from) {
  return {{from, pad}, {from + 500, pad}, {from + 1000, pad}};
}

class MidiController : public Controller {
 public:
  /// The BPMs the console got, in order.
  std::vector<int> play(Timed timed, fakes::MemorySettingsStore::Values settings) {
    controller.reset();
    settings.emplace("bpmFX", "1");
    settings.emplace("midiTap", "note 10 36");
    startConnected(std::move(settings));
    std::stable_sort(timed.begin(), timed.end(), [](auto& a, auto& b) { return a.ms < b.ms; });
    const auto start = executor->now();
    for (const auto& [ms, message, port] : timed) {
      const auto moment = std::chrono::microseconds(std::int64_t(ms * 1000));
      executor->advanceBy(start + moment - executor->now());
      midi->send(std::chrono::system_clock::time_point{} + 1000h + moment, message, port);
      executor->runReady();
    }
    executor->advanceBy(TempoController::followInterval);
    std::vector<int> bpms;
    for (const auto& text : sent()) bpms.push_back(std::stoi(text.substr(text.find("BPM ") + 4)));
    return bpms;
  }
  static Timed join(std::initializer_list<Timed> parts) {
    Timed all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
  }
};

TEST_F(MidiController, FollowsTheClockByTheRules) {
  const auto start = [](double ms) { return Timed{{ms, MidiClockMessage::start}}; };
  const auto stop = [](double ms) { return Timed{{ms, MidiClockMessage::stop}}; };
  const auto silence = [](double until) { return Timed{{until, MidiNoteOn{16, 0, 0}}}; };
  const struct {
    const char* name;
    Timed timed;
    std::vector<int> expected;
    MidiClockState::Phase phase = MidiClockState::Phase::running;
  } cases[] = {
      {"a jittered 174 settles on 174 after four beats and stays", clocks(0, 174, 24 * 16), {174}},
      {"fewer than four beats since Start make no tempo",
       join({start(0), clocks(1, 130, 95), start(2000), clocks(2001, 126, 96)}),
       {126}},
      {"a drifting clock moves by the margin, not by its jitter",
       join({clocks(0, 126, 24 * 8), clocks(3810, 126.4, 24 * 8), clocks(7607, 126.7, 24 * 8)}),
       {126, 127}},
      {"taps win over a steady clock; a new clock tempo takes over again",
       join({clocks(0, 126, 24 * 16), taps120(3000), clocks(7619, 126.7, 24 * 8)}),
       {126, 120, 127}},
      {"Stop keeps the tempo; after Start the clock's first tempo is new again",
       join({clocks(0, 126, 24 * 5), stop(2400), taps120(2500), start(4000),
             clocks(4001, 126, 24 * 5)}),
       {126, 120, 126}},
      {"Stop stops following at once",
       join({clocks(0, 126, 24 * 5), stop(2400)}),
       {126},
       MidiClockState::Phase::stopped},
      {"two seconds without a clock stop following",
       join({clocks(0, 126, 24 * 5), silence(4370)}),
       {126},
       MidiClockState::Phase::stopped},
      {"a second clock, or the same one twice, is not heard while the first runs",
       join({clocks(0, 126, 24 * 5), clocks(1, 126, 24 * 5, 2), clocks(5, 140, 24 * 5, 3)}),
       {126}},
      {"less than two seconds do not", join({clocks(0, 126, 24 * 5), silence(3800)}), {126}},
      {"the pad's velocity-0 note-ons and other notes do not tap",
       {{0, pad},
        {100, MidiNoteOn{10, 36, 0}},
        {200, MidiNoteOn{9, 36, 99}},
        {300, MidiNoteOn{10, 37, 99}},
        {500, pad},
        {1000, MidiControlChange{10, 36, 127}}},
       {},
       MidiClockState::Phase::waiting},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(play(c.timed, {{"followMidiClock", "true"}}), c.expected);
    EXPECT_EQ(controller->midiClockState()->phase, c.phase);
  }
  EXPECT_EQ(play(clocks(0, 126, 24 * 8), {}), std::vector<int>{}) << "not following";
}

TEST_F(MidiController, APedalTapsOncePerPressAndLearningTakesTheNextNoteOrController) {
  const auto cc = [](int value) { return MidiMessage(MidiControlChange{1, 64, value}); };
  EXPECT_EQ(play({{0, cc(127)},
                  {100, cc(127)},
                  {200, cc(0)},
                  {500, cc(64)},
                  {700, cc(63)},
                  {1000, cc(100)},
                  {1100, MidiControlChange{2, 64, 0}},
                  {1200, cc(127)}},
                 {{"midiTap", "cc 1 64"}}),
            std::vector<int>{120});

  auto settings = std::make_shared<fakes::MemorySettingsStore>();
  controller.reset();
  controller =
      TempoController::create({executor, clock, settings, transport, {}, log, session, midi});
  controller->learnMidiTap(true);
  for (const MidiMessage& message : {MidiMessage(MidiClockMessage::clock),
                                     MidiMessage(MidiNoteOn{3, 40, 0}), MidiMessage(cc(0))}) {
    midi->send({}, message);
  }
  EXPECT_FALSE(controller->learnsMidiTap());
  EXPECT_EQ(controller->midiTap(), (MidiTrigger{MidiTrigger::Kind::controller, 1, 64}));
  EXPECT_TRUE(controller->tempo().taps().empty()) << "the learned message does not tap";
  controller->setMidiSources({MidiSources::Kind::named, "nanoPAD2"});
  controller->setMidiTap(std::nullopt);
  EXPECT_EQ(settings->writes,
            (std::vector<std::pair<std::string, std::string>>{
                {"midiTap", "cc 1 64"}, {"midiInput", "nanoPAD2"}, {"midiTap", ""}}));
  EXPECT_EQ(midi->chosen.back().name, "nanoPAD2");
  controller.reset();
  EXPECT_FALSE(midi->handler) << "quitting closes the MIDI input";
}

}  // namespace
}  // namespace tempik::core
