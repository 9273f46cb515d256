// The window over a real controller whose seams are fakes: the form, the tap button, the
// dots and the status row as an operator sees and uses them, and the application around them.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include "support/FakeConsoleTransport.h"
#include "support/FakeMidiInput.h"
#include "support/FakeTempoSession.h"
#include "support/Fakes.h"
#include "support/ManualExecutor.h"
#include "ui/AboutDialog.h"
#include "ui/Announcer.h"
#include "ui/BuildInfo.h"
#include "ui/ContentView.h"
#include "ui/EosConnectionStatusView.h"
#include "ui/LinkFollowView.h"
#include "ui/MidiView.h"
#include "ui/MultiplierButtons.h"
#include "ui/PulsingTapButton.h"
#include "ui/TapWindowDots.h"
#include "ui/TempikApp.h"

namespace tempik::ui {
namespace {

using namespace std::chrono_literals;

struct Window : testing::Test {
  Window() {
    clock->set(std::chrono::system_clock::now());
    transport->connectAnswer = std::nullopt;  // stays unconnected until the test says
  }
  ~Window() override { transport->dropUnanswered(); }

  void start(fakes::MemorySettingsStore::Values settings = {}) {
    store = std::make_shared<fakes::MemorySettingsStore>(std::move(settings));
    app.show();
    view = app.contentView();
    executor->runReady();
  }
  // Replaces the field's text the way an operator does: select all, then type.
  void type(QLineEdit& field, const QString& text) {
    field.selectAll();
    text.isEmpty() ? QTest::keyClick(&field, Qt::Key_Backspace) : QTest::keyClicks(&field, text);
    layOut();
  }
  void layOut() {
    executor->runReady();
    // Each level of nested layouts passes a change of size up with an event of its own.
    for (int level = 0; level < 8; ++level) {
      QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    }
  }

  std::shared_ptr<fakes::ManualExecutor> executor = std::make_shared<fakes::ManualExecutor>();
  std::shared_ptr<fakes::FakeWallClock> clock = std::make_shared<fakes::FakeWallClock>();
  std::shared_ptr<fakes::FakeConsoleTransport> transport =
      std::make_shared<fakes::FakeConsoleTransport>(executor);
  std::shared_ptr<fakes::MemorySettingsStore> store;
  std::shared_ptr<fakes::FakeTempoSession> linkSession;  // none: built without Link
  std::shared_ptr<fakes::FakeMidiInput> midiInput;       // none: built without MIDI
  int controllersMade = 0;
  TempikApp app{[this] {
    ++controllersMade;
    return core::TempoController::Dependencies{executor, clock,   store,       transport,
                                               {},       nullptr, linkSession, midiInput};
  }};
  ContentView* view = nullptr;
};

TEST_F(Window, OpensWithTheStoredSettingsAndHintsTheFieldsThatCannotBeSent) {
  start({{"eosIP", "10.0.0.7"}, {"bpmFX", "abc"}, {"bpmMacro", "901"}});
  EXPECT_EQ(view->hostField().text(), "10.0.0.7");
  EXPECT_EQ(view->effectField().text(), "abc");
  EXPECT_TRUE(view->isEffectHintShown());
  EXPECT_FALSE(view->isMacroHintShown());
  EXPECT_TRUE(store->writes.empty()) << "opening writes nothing back";
  EXPECT_FALSE(view->linkFollow().isVisibleTo(view)) << "no Link session to follow";
  EXPECT_FALSE(view->midi().isVisibleTo(view)) << "no MIDI input";
  const struct {
    QLineEdit* field;
    QString text;
    bool effectHint, macroHint;
  } edits[] = {
      {&view->effectField(), "3000-4000", false, false},
      {&view->macroField(), "0", false, true},
      {&view->effectField(), " ", true, true},
      {&view->macroField(), " 901 ", true, false},
      {&view->effectField(), "4000-3000", true, false},
      {&view->effectField(), "", false, false},
      {&view->macroField(), "100000", false, true},
      {&view->macroField(), "", false, false},
  };
  QMainWindow& window = app.window();
  std::map<std::pair<bool, bool>, int> heights;  // by the hints shown
  for (const auto& edit : edits) {
    type(*edit.field, edit.text);
    SCOPED_TRACE(edit.text.toStdString());
    EXPECT_EQ(view->isEffectHintShown(), edit.effectHint);
    EXPECT_EQ(view->isMacroHintShown(), edit.macroHint);
    // The window follows its content, never resizable by hand.
    const auto [height, first] =
        heights.emplace(std::pair(edit.effectHint, edit.macroHint), window.height());
    EXPECT_EQ(height->second, window.height()) << "the same hints, another height";
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_EQ(window.width(), 400);
  }
  const int effectRow = heights[{true, false}] - heights[{false, false}];
  const int macroRow = heights[{false, true}] - heights[{false, false}];
  EXPECT_GE(effectRow, 30);
  EXPECT_GE(macroRow, 30);
  EXPECT_EQ(heights[std::pair(true, true)],
            heights[std::pair(false, false)] + effectRow + macroRow);
}

TEST_F(Window, SavesTheWholeTextOnEveryKeystroke) {
  start();
  QTest::keyClicks(&view->macroField(), "901");
  view->hostField().end(false);
  QTest::keyClick(&view->hostField(), Qt::Key_Backspace);
  EXPECT_EQ(
      store->writes,
      (decltype(store->writes){
          {"bpmMacro", "9"}, {"bpmMacro", "90"}, {"bpmMacro", "901"}, {"eosIP", "127.0.0."}}));
  EXPECT_EQ(app.controller()->bpmMacro(), "901");
}

TEST_F(Window, PressesTapAtTheirTimeAndTheViewsFollowTheController) {
  start();
  PulsingTapButton& button = view->tapButton();
  EXPECT_EQ(button.tempoText(), QString(QChar(0x2013)));
  EXPECT_EQ(view->connectionStatus().text(), "Not Connected");
  transport->finishConnect(fakes::newConnection);
  executor->runReady();
  EXPECT_EQ(view->connectionStatus().text(), "Connected");
  for (int i = 0; i < 3; ++i) {
    QTest::mousePress(&button, Qt::LeftButton, {}, {150, 150});
    QTest::mouseRelease(&button, Qt::LeftButton, {}, {150, 150});
    executor->runReady();
    clock->set(clock->now() + 500ms);
  }
  EXPECT_EQ(app.controller()->tempo().bpm(), 120);
  EXPECT_EQ(button.tempoText(), "120");
  EXPECT_EQ(view->tapDots().litDots(), 3);
  EXPECT_EQ(controllersMade, 1);
  app.window().close();
  app.show();
  EXPECT_EQ(controllersMade, 1) << "one controller for the whole run";
}

// What the window shows is what the controller knows: why the console is not connected, a
// host that names no console, a tempo that has not reached the console, settings not saved.
TEST_F(Window, SaysWhyNotConnectedAndMarksATempoTheConsoleHasNot) {
  start({{"eosIP", "10.0.0.5:3038"}, {"bpmFX", "1"}});
  EXPECT_EQ(view->hostHint(), "Leave out the port: tempik always uses 3038");
  EXPECT_EQ(view->connectionStatus().reason(), "Check the address above.");
  type(view->hostField(), "10.0.0.5");
  EXPECT_EQ(view->hostHint(), "");
  executor->advanceBy(1s);
  transport->finishConnect(fakes::linkDown(link::LinkProblem::refused));
  executor->runReady();
  EXPECT_TRUE(view->connectionStatus().reason().startsWith("The console refused the connection."));
  EXPECT_EQ(view->connectionStatus().accessibleName(),
            "Not Connected: " + view->connectionStatus().reason());
  layOut();
  EXPECT_FALSE(
      static_cast<QScrollArea*>(app.window().centralWidget())->verticalScrollBar()->isVisible())
      << "the window grows to the reason's wrapped lines";
  executor->advanceBy(5s);
  transport->finishConnect(fakes::newConnection);
  executor->advanceBy(1s);
  EXPECT_EQ(view->connectionStatus().accessibleName(), "Connected");

  transport->goDown(link::LinkProblem::resetByConsole);
  executor->runReady();
  EXPECT_EQ(view->connectionStatus().reason(), "The connection was reset. Reconnecting…");
  PulsingTapButton& button = view->tapButton();
  for (int i = 0; i < 3; ++i, clock->set(clock->now() + 500ms)) button.press();
  executor->runReady();
  EXPECT_TRUE(button.isNotSent());
  EXPECT_EQ(button.accessibleValue(), "120 BPM, not sent");
  EXPECT_EQ(view->announcer().message(), "120 BPM, not sent");
  executor->advanceBy(5s);  // back: the keys, then the tempo
  transport->finishConnect(fakes::newConnection);
  executor->advanceBy(1s);
  EXPECT_FALSE(button.isNotSent());
  EXPECT_EQ(view->announcer().message(), "120 BPM sent");

  store->failure = core::SettingsError{"/home/op/.config/tempik", "the folder is not writable"};
  type(view->macroField(), "7");
  EXPECT_TRUE(view->settingsProblemText().contains("/home/op/.config/tempik"));
  store->failure.reset();
  type(view->macroField(), "8");
  EXPECT_EQ(view->settingsProblemText(), "");
}

// The button keeps the keyboard: Escape or Return in a field hands it back, and so does a field
// left alone, so a foot switch never types into one.
TEST_F(Window, AFieldHandsTheKeyboardBackToTheButton) {
  start();
  app.window().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&app.window()));
  for (const auto key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_unknown}) {
    view->hostField().setFocus();
    QTest::keyClick(&view->hostField(), Qt::Key_Space);  // an edit: the field stays
    ASSERT_TRUE(view->hostField().hasFocus());
    if (key != Qt::Key_unknown) {
      QTest::keyClick(&view->hostField(), key);
    } else {
      view->setFieldIdleTime(50ms);
      ASSERT_TRUE(QTest::qWaitFor([&] { return !view->hostField().hasFocus(); }, 5000));
    }
    EXPECT_TRUE(view->tapButton().hasFocus()) << key;
    const auto tapsBefore = app.controller()->tempo().taps().size();
    clock->set(clock->now() + 600ms);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(app.controller()->tempo().taps().size(), tapsBefore + 1) << key;
    EXPECT_EQ(app.controller()->eosIP(), "127.0.0.1 ") << key;
    type(view->hostField(), "127.0.0.1");
  }
  QWidget& twice = view->multiplierButtons().button(core::TempoMultiplier::twice);
  twice.setFocus();
  QTest::keyClick(&twice, Qt::Key_Escape);
  EXPECT_TRUE(view->tapButton().hasFocus()) << "a time button reached by Tab gives it back too";
}

// The switch joins and leaves the session; the line under it says how the session stands.
TEST_F(Window, FollowsTheLinkSessionWhileSwitchedOnAndSaysWhoShares) {
  linkSession = std::make_shared<fakes::FakeTempoSession>();
  start();
  LinkFollowView& link = view->linkFollow();
  const int height = app.window().height();
  QTest::mouseClick(&link.followSwitch(), Qt::LeftButton, {}, {8, 8});
  EXPECT_EQ(app.window().focusWidget(), &view->tapButton()) << "a click leaves the keyboard there";
  const struct {
    std::optional<core::TempoSessionState> state;
    const char *shown, *spoken;
  } states[] = {
      {std::nullopt, "Link · joining…", "Link: joining"},
      {core::TempoSessionState{120.0, 0}, "Link · no peers", "Link: no peers"},
      {core::TempoSessionState{127.999, 1}, "Link · 1 peer · 128.00", "Link: 1 peer, 128.00 BPM"},
      {core::TempoSessionState{127.98, 2}, "Link · 2 peers · 127.98", "Link: 2 peers, 127.98 BPM"},
  };
  for (const auto& s : states) {
    if (s.state) linkSession->report(s.state->tempo, s.state->peers);
    layOut();
    EXPECT_EQ(link.statusText(), QString::fromUtf8(s.shown));
    EXPECT_EQ(link.spokenStatus(), QString::fromUtf8(s.spoken));
    EXPECT_GT(app.window().height(), height) << "the status line takes a row of its own";
  }
  EXPECT_TRUE(view->tapButton().isAnimating()) << "the followed tempo pulses without a tap";
  QTest::mouseClick(&link.followSwitch(), Qt::LeftButton, {}, {8, 8});
  layOut();
  EXPECT_TRUE(linkSession->joins == 1 && linkSession->leaves == 1);
  EXPECT_EQ(link.statusText(), "");
  EXPECT_EQ(app.window().height(), height);
}

// H, N and D choose the time wherever the keyboard is but in a field, which types the letter.
TEST_F(Window, ChoosesHalfOrDoubleTimeByButtonOrKeyButAFieldTypesTheKey) {
  using M = core::TempoMultiplier;
  linkSession = std::make_shared<fakes::FakeTempoSession>();
  start();
  app.window().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&app.window()));
  PulsingTapButton& tap = view->tapButton();
  MultiplierButtons& time = view->multiplierButtons();
  QWidget* followSwitch = &view->linkFollow().followSwitch();
  for (int i = 0; i < 3; ++i, clock->set(clock->now() + 500ms)) tap.press();
  // clang-format off
  const std::map<M, std::pair<QString, QString>> shown{  // the mark and the description
      {M::half, {"×½", "60 BPM, not sent, half time"}}, {M::normal, {"", "120 BPM, not sent"}},
      {M::twice, {"×2", "240 BPM, not sent, double time"}}};
  const struct { QWidget* focus; Qt::Key key; M chosen; } cases[] = {
      {&tap, Qt::Key_D, M::twice}, {&tap, Qt::Key_H, M::half},
      {&view->hostField(), Qt::Key_D, M::half}, {followSwitch, Qt::Key_N, M::normal},
      {&time.button(M::normal), Qt::Key_Left, M::half},
      {&time.button(M::half), Qt::Key_D, M::twice}, {&tap, Qt::Key_N, M::normal}};
  // clang-format on
  for (const auto& c : cases) {
    c.focus->setFocus();
    QTest::keyClick(c.focus, c.key);
    executor->runReady();
    SCOPED_TRACE(c.focus->accessibleName().toStdString() + " " + char(c.key));
    EXPECT_EQ(app.controller()->tempoMultiplier(), c.chosen);
    EXPECT_TRUE(time.button(c.chosen).isChecked());
    EXPECT_EQ(tap.multiplierMark(), shown.at(c.chosen).first);
    EXPECT_EQ(tap.accessibleValue(), shown.at(c.chosen).second);
    if (auto* field = qobject_cast<QLineEdit*>(c.focus)) {
      EXPECT_TRUE(field->text().endsWith(QChar(c.key).toLower())) << field->text().toStdString();
    }
  }
  QTest::mouseClick(&time.button(M::twice), Qt::LeftButton);
  EXPECT_EQ(app.controller()->tempoMultiplier(), M::twice);
  EXPECT_EQ(QApplication::focusWidget(), &tap) << "a click leaves the keyboard on the button";
}

// The MIDI group says what the input found, picks sources, learns a pad that then taps, and
// follows the clock; no click takes the keyboard, and H/N/D never pick a source.
TEST_F(Window, PicksMidiSourcesLearnsAPadAndSaysWhatMidiAndItsClockDo) {
  midiInput = std::make_shared<fakes::FakeMidiInput>();
  start({{"midiInput", "nanoPAD2"}});
  app.window().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&app.window()));
  MidiView& midi = view->midi();
  QComboBox& picker = midi.sourcePicker();
  EXPECT_EQ(picker.currentText(), "nanoPAD2") << "not known to be missing before a report";
  // clang-format off
  const struct { core::MidiInputState state; const char *shown, *spoken, *picked; int items; }
  states[] = {
      {{}, "MIDI: none found", "MIDI: none found", "nanoPAD2 (not found)", 3},
      {{{"ALSA", "JACK"}, {"Pedal", "nanoPAD2", "Pad"}, {"Pedal", "nanoPAD2", "Pad"}, {}},
       "MIDI · Pedal, nanoPAD2, Pad", "MIDI: connected to Pedal, nanoPAD2, Pad", "nanoPAD2", 5},
      {{{"ALSA"}, {"a", "b", "c", "d"}, {"a", "b", "c", "d"}, {"JACK", "nanoPAD2"}},
       "MIDI · 4 sources connected · JACK gone · nanoPAD2 gone",
       "MIDI: 4 sources connected. JACK gone. nanoPAD2 gone", "nanoPAD2 (not found)", 7},
      {{{"ALSA"}, {"nanoPAD2"}, {}, {}}, "MIDI · no source connected", "MIDI: no source connected",
       "nanoPAD2", 3},
  };
  // clang-format on
  for (const auto& s : states) {
    midiInput->report(s.state);
    EXPECT_EQ(midi.statusText(), QString::fromUtf8(s.shown));
    EXPECT_EQ(picker.accessibleDescription(), s.picked + QString(" chosen. ") + s.spoken);
    EXPECT_EQ(picker.currentText(), s.picked);
    EXPECT_EQ(picker.count(), s.items);
  }
  picker.setFocus();
  QTest::keyClick(&picker, Qt::Key_N);
  QWheelEvent wheel({8, 8}, picker.mapToGlobal(QPoint(8, 8)), {}, {0, 120}, Qt::NoButton, {},
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(&picker, &wheel);  // the window scrolls on
  EXPECT_EQ(midiInput->chosen.back().name, "nanoPAD2") << "N is normal time; no wheel picks";
  QTest::keyClick(&picker, Qt::Key_D);
  QTest::keyClick(&picker, Qt::Key_Up);
  EXPECT_EQ(app.controller()->tempoMultiplier(), core::TempoMultiplier::twice);
  EXPECT_EQ(midiInput->chosen.back().kind, core::MidiSources::Kind::none) << "Up picks None";
  EXPECT_EQ(store->read("midiInput"), "none");
  EXPECT_EQ(view->announcer().message(), "MIDI input: None");
  QTest::keyClick(&picker, Qt::Key_Up);
  EXPECT_EQ(midiInput->chosen.back().kind, core::MidiSources::Kind::all);
  QTest::keyClick(&picker, Qt::Key_Escape);
  QTest::mouseClick(&picker, Qt::LeftButton);
  picker.hidePopup();
  EXPECT_TRUE(view->tapButton().hasFocus());

  const auto send = [&](core::MidiMessage message) {
    midiInput->send(clock->now(), message);
    executor->runReady();
  };
  QTest::mouseClick(&midi.learnButton(), Qt::LeftButton);
  EXPECT_EQ(midi.tapText(), "Waiting for MIDI…");
  EXPECT_EQ(midi.learnButton().text(), "Cancel");
  EXPECT_EQ(view->announcer().message(), "MIDI tap: waiting for a note or a controller");
  send(core::MidiControlChange{1, 64, 127});
  EXPECT_EQ(midi.tapText(), "CC 64 · ch 1");
  QTest::mouseClick(&midi.learnButton(), Qt::LeftButton);
  EXPECT_TRUE(midi.clearButton().isHidden()) << "nothing to clear while Learn waits";
  QTest::mouseClick(&midi.learnButton(), Qt::LeftButton);
  EXPECT_EQ(view->announcer().message(), "MIDI tap: controller 64 on channel 1") << "cancelled";
  QTest::mouseClick(&midi.learnButton(), Qt::LeftButton);
  send(core::MidiNoteOn{10, 36, 100});
  EXPECT_EQ(view->announcer().message(), "MIDI tap learned: note 36 on channel 10");
  EXPECT_EQ(midi.tapText(), "Note 36 · ch 10");
  EXPECT_EQ(midi.learnButton().accessibleDescription(), "MIDI tap: note 36 on channel 10");
  for (int i = 0; i < 3; ++i, clock->set(clock->now() + 500ms)) send(core::MidiNoteOn{10, 36, 9});
  EXPECT_EQ(view->tapButton().tempoText(), "240") << "120 BPM, double time";
  midi.clearButton().setFocus();
  QTest::keyClick(&midi.clearButton(), Qt::Key_Space);
  EXPECT_TRUE(midi.learnButton().hasFocus()) << "hidden, Clear hands the keyboard to Learn";
  QTest::keyClick(&midi.learnButton(), Qt::Key_Escape);
  EXPECT_EQ(midi.tapText(), "None");
  EXPECT_TRUE(midi.clearButton().isHidden());
  EXPECT_EQ(store->read("midiTap"), "");

  layOut();
  const int height = app.window().height();
  QTest::mouseClick(&midi.clockSwitch(), Qt::LeftButton, {}, {8, 8});
  EXPECT_EQ(midi.clockText(), "MIDI clock · waiting…");
  const std::pair<int, const char*> clocks[] = {{1, "MIDI clock: counting the first beats"},
                                                {96, "MIDI clock: 126.0 BPM"}};
  for (const auto& [count, spoken] : clocks) {
    for (int i = 0; i < count; ++i, clock->set(clock->now() + 60'000'000us / 126 / 24)) {
      send(core::MidiClockMessage::clock);
    }
    EXPECT_EQ(midi.clockSwitch().accessibleDescription(), QString::fromUtf8(spoken));
  }
  send(core::MidiClockMessage::stop);
  EXPECT_EQ(midi.spokenClock(), "MIDI clock: stopped");
  QTest::mouseClick(&midi.clockSwitch(), Qt::LeftButton, {}, {8, 8});
  layOut();
  EXPECT_EQ(app.window().height(), height) << "the clock's line goes with the switch";
  EXPECT_FALSE(app.controller()->followsMidiClock());
  EXPECT_EQ(QApplication::focusWidget(), &view->tapButton()) << "no click took the keyboard";
}

TEST_F(Window, OpensOneAboutDialogAndClosingTheWindowEndsTheApplication) {
  start();
  QAction& about = app.aboutAction();
  EXPECT_EQ(about.text(), "About tempik");
  EXPECT_EQ(about.menuRole(), QAction::AboutRole);
  about.trigger();
  about.trigger();
  ASSERT_NE(app.aboutDialog(), nullptr);
  EXPECT_EQ(app.window().findChildren<AboutDialog*>().size(), 1);
  EXPECT_TRUE(app.aboutDialog()->isVisible());
  EXPECT_TRUE(app.aboutDialog()->versionText().contains(QString::fromUtf8(applicationVersion)));
  EXPECT_EQ(app.aboutDialog()->licenceText(), AboutDialog::licenceText(builtWithLink));
  EXPECT_TRUE(AboutDialog::licenceText(true).contains("as a whole under the GNU GPL, version 2"));
  EXPECT_FALSE(AboutDialog::licenceText(false).contains("GPL"));
  QSignalSpy lastWindowClosed(qApp, &QGuiApplication::lastWindowClosed);
  // Qt ends the application only from inside its event loop: close the window from there.
  QTimer::singleShot(0, &app.window(), [this] { app.window().close(); });
  QTimer::singleShot(5000, [] { QCoreApplication::exit(1); });
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_EQ(lastWindowClosed.count(), 1);
}

}  // namespace
}  // namespace tempik::ui
