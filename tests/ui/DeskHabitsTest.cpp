// Habits of the desk: the tap button owns the keyboard, a foot switch's key taps once per
// press, the accent stays vivid, and a second launch hands over to the first.
#include <gtest/gtest.h>

#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "support/FakeConsoleTransport.h"
#include "support/FakeWallClock.h"
#include "support/ManualExecutor.h"
#include "support/MemorySettingsStore.h"
#include "ui/Appearance.h"
#include "ui/ContentView.h"
#include "ui/PulsingTapButton.h"
#include "ui/SingleInstance.h"
#include "ui/TempikApp.h"

namespace tempik::ui {
namespace {

struct DeskHabitsTest : testing::Test {
  DeskHabitsTest() { app.show(); }

  // The widgets that take the focus, one Tab after another, from the window's focus.
  static std::vector<QWidget*> tabStops(QWidget& window, int count) {
    std::vector<QWidget*> stops;
    for (int i = 0; i < count; ++i) {
      QTest::keyClick(window.focusWidget(), Qt::Key_Tab);
      stops.push_back(window.focusWidget());
    }
    return stops;
  }

  std::shared_ptr<fakes::ManualExecutor> executor = std::make_shared<fakes::ManualExecutor>();
  std::shared_ptr<fakes::FakeConsoleTransport> transport =
      std::make_shared<fakes::FakeConsoleTransport>(executor);
  TempikApp app{[this] {
    return core::TempoController::Dependencies{executor, std::make_shared<fakes::FakeWallClock>(),
                                               std::make_shared<fakes::MemorySettingsStore>(),
                                               transport};
  }};
};

TEST_F(DeskHabitsTest, TheTapButtonHoldsTheFocusAndTakesItBackFromAField) {
  ContentView& view = *app.contentView();
  QWidget& window = app.window();
  EXPECT_EQ(window.focusWidget(), &view.tapButton()) << "at start";

  QString typed;
  for (const auto key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
    view.macroField().setFocus();
    QTest::keyClicks(&view.macroField(), "9");
    typed += "9";
    QTest::keyClick(&view.macroField(), key);
    EXPECT_EQ(window.focusWidget(), &view.tapButton()) << key;
    EXPECT_EQ(view.macroField().text(), typed) << "the text stays as typed";
  }

  view.hostField().setFocus();
  QTest::mousePress(&view.tapButton(), Qt::LeftButton, {}, {150, 150});
  EXPECT_EQ(window.focusWidget(), &view.tapButton()) << "after a press";
}

TEST_F(DeskHabitsTest, TabRunsThroughTheFieldsAndTheCreditsLinkToTheButton) {
  ContentView& view = *app.contentView();
  EXPECT_EQ(tabStops(app.window(), 4),
            (std::vector<QWidget*>{&view.hostField(), &view.effectField(), &view.macroField(),
                                   &view.tapButton()}))
      << "no link, no stop on the credits";

  ContentView linked(app.controller(), std::make_shared<fakes::FakeWallClock>(), nullptr,
                     QStringLiteral("https://example.org/"));
  linked.show();
  linked.activateWindow();  // a label marks its link only when the focus really comes in
  ASSERT_TRUE(QTest::qWaitForWindowActive(&linked));
  EXPECT_EQ(tabStops(linked, 5),
            (std::vector<QWidget*>{&linked.hostField(), &linked.effectField(), &linked.macroField(),
                                   &linked.credits(), &linked.tapButton()}));
}

TEST(TapKeysTest, SpaceAndReturnTapOncePerKeyDown) {
  constexpr int space = Qt::Key_Space;
  // Key-down or up, key, auto-repeat flag, time stamp.
  using Key = std::tuple<bool, int, bool, unsigned long>;
  const std::pair<std::vector<Key>, int> cases[] = {
      {{{true, Qt::Key_Return, false, 1}, {true, Qt::Key_Enter, false, 2}}, 2},
      {{{true, space, false, 1}, {true, space, true, 600}}, 1},
      // X11 repeats a held key as an up and a down with one time stamp.
      {{{true, space, false, 1}, {false, space, false, 600}, {true, space, false, 600}}, 1},
      {{{true, space, false, 1}, {false, space, false, 90}, {true, space, false, 400}}, 2},
      {{{true, Qt::Key_A, false, 1}, {true, Qt::Key_Tab, false, 2}}, 0},
  };
  for (const auto& [keys, expected] : cases) {
    PulsingTapButton button;
    int taps = 0;
    button.setAction([&taps] { ++taps; });
    for (const auto& [down, key, autoRepeat, time] : keys) {
      QKeyEvent event(down ? QEvent::KeyPress : QEvent::KeyRelease, key, Qt::NoModifier, QString(),
                      autoRepeat);
      event.setTimestamp(time);
      QApplication::sendEvent(&button, &event);
    }
    EXPECT_EQ(taps, expected) << "case " << &keys - &cases[0].first;
  }
}

TEST(AccentTest, FallsBackToAClearBlueForADarkGreyOrPaleAccent) {
  const std::pair<QRgb, bool> cases[] = {
      {0x308cc6, true},  {0xe53e35, true},  {0x2f9e44, true},  {0x2a6f75, false},
      {0x5a7da0, false}, {0x808080, false}, {0x000000, false}, {0xcce8ff, false},
  };
  for (const auto& [accent, kept] : cases) {
    EXPECT_EQ(vividAccent(QColor(accent)), QColor(kept ? accent : fallbackAccent)) << accent;
  }
}

TEST(SingleInstanceTest, ALaterLaunchAsksTheFirstToComeForward) {
  QTemporaryDir folder;
  QFile(folder.filePath("tempik.socket")).open(QIODevice::WriteOnly);  // a crashed run's
  SingleInstance first(folder.path());
  ASSERT_EQ(first.claim(), SingleInstance::Role::first);
  QSignalSpy activations(&first, &SingleInstance::activationRequested);
  EXPECT_EQ(SingleInstance(folder.path()).claim(), SingleInstance::Role::handedOver);
  EXPECT_TRUE(activations.wait(10'000));
}

}  // namespace
}  // namespace tempik::ui
