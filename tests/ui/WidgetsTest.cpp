// The pieces of the window on their own: the tap button, the tap window dots, the status row,
// the main-thread executor and the settings file.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>

#include "ui/Appearance.h"
#include "ui/ColorScheme.h"
#include "ui/ColorSchemePortal.h"
#include "ui/Credits.h"
#include "ui/PulseLevel.h"
#include "ui/PulsingTapButton.h"
#include "ui/QtExecutor.h"
#include "ui/QtSettingsStore.h"
#include "ui/SingleInstance.h"
#include "ui/TapWindowDots.h"
#include "ui/TintedLabel.h"

namespace tempik::ui {
namespace {

using namespace std::chrono_literals;
const TimePoint lastTap = TimePoint{} + 1'000'000s;

TEST(TapButton, TapsWhenThePointerGoesDownInsideTheCircleAndByItsAccessibleAction) {
  PulsingTapButton button;
  int presses = 0;
  button.setAction([&] { ++presses; });
  button.show();
  const std::pair<QPoint, int> hits[] = {
      {{150, 150}, 1}, {{150, 6}, 1}, {{2, 150}, 1}, {{8, 8}, 0}, {{292, 292}, 0}};
  for (const auto& [at, count] : hits) {
    presses = 0;
    QTest::mousePress(&button, Qt::LeftButton, {}, at);
    QTest::mouseMove(&button, {290, 10});
    QTest::mouseRelease(&button, Qt::LeftButton, {}, {290, 10});
    EXPECT_EQ(presses, count) << at.x() << "," << at.y();
  }
  // Taps faster than the double-click interval count one by one, through the window
  // system's own press, release, press, double-click, release sequence.
  QTest::mouseDClick(button.windowHandle(), Qt::LeftButton, {}, {150, 150});
  QTest::mousePress(&button, Qt::RightButton, {}, {150, 150});
  EXPECT_EQ(presses, 2);
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&button);
  EXPECT_EQ(accessible->role(), QAccessible::Button);
  EXPECT_EQ(accessible->text(QAccessible::Name), "Tap tempo");
  EXPECT_EQ(accessible->text(QAccessible::Value), "No tempo");
  button.setBpm(120);
  EXPECT_EQ(accessible->text(QAccessible::Value), "120 BPM");
  accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(presses, 3);
}

TEST(TapButton, PulsesOnTheBeatOfTheLastTapOnlyWhileATempoShowsAndMotionIsWelcome) {
  const struct {
    std::optional<std::int64_t> bpm;
    std::optional<TimePoint> tap;
    bool reduceMotion;
    std::chrono::milliseconds sinceTap;
    double level;
  } cases[] = {
      {std::nullopt, lastTap, false, 250ms, 0.4},
      {120, lastTap, true, 250ms, 0.4},
      {120, lastTap, false, 0ms, 1.0},
      {120, lastTap, false, 250ms, 0.25},
      {120, lastTap, false, 60'000ms, 1.0},
      {60, lastTap, false, 900ms, 0.01},
      {120, lastTap, false, -100ms, 0.04},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(pulseLevel(c.bpm, c.tap, c.reduceMotion, lastTap + c.sinceTap), c.level, 1e-9)
        << c.bpm.value_or(0) << " BPM, " << c.sinceTap.count() << " ms";
  }
  PulsingTapButton button;
  button.show();
  EXPECT_FALSE(button.isAnimating()) << "no tempo";
  button.setBpm(120);
  button.setLastTap(std::chrono::system_clock::now());
  EXPECT_TRUE(button.isAnimating());
  bool reduceMotion = true;
  button.setReduceMotionSource([&] { return reduceMotion; });
  button.setBpm(121);
  EXPECT_FALSE(button.isAnimating()) << "reduced motion";
  EXPECT_EQ(button.tempoText(), "121") << "the number follows the tempo without motion";
  reduceMotion = false;
  button.hide();
  button.setBpm(122);
  EXPECT_FALSE(button.isAnimating()) << "hidden";
  button.show();
  EXPECT_TRUE(button.isAnimating());
}

TEST(TapWindowDots, ShowTheSequenceUntilItLapsesFiveSecondsAfterTheLastTap) {
  const struct {
    std::int64_t taps;
    std::optional<TimePoint> tap;
    std::chrono::milliseconds sinceTap;
    std::int64_t visible;
  } cases[] = {{0, std::nullopt, 0ms, 0},
               {3, lastTap, 1000ms, 3},
               {4, lastTap, 5000ms, 4},
               {2, lastTap, 5001ms, 0},
               {2, lastTap, -3000ms, 2}};
  for (const auto& c : cases) {
    EXPECT_EQ(visibleTapCount(c.taps, c.tap, lastTap + c.sinceTap), c.visible)
        << c.sinceTap.count();
  }
  TapWindowDots dots;
  dots.show();
  dots.setTaps(3, std::chrono::system_clock::now() - 1s);
  EXPECT_EQ(dots.litDots(), 3);
  EXPECT_EQ(QAccessible::queryAccessibleInterface(&dots)->text(QAccessible::Name), "3 of 4 taps");
  dots.setTaps(2, std::chrono::system_clock::now() - 4900ms);
  ASSERT_EQ(dots.litDots(), 2);
  // Nothing is told to the dots: only their own quarter-second check can darken them.
  EXPECT_TRUE(QTest::qWaitFor([&] { return dots.litDots() == 0; }, 2000));
  EXPECT_EQ(dots.accessibleName(), "0 of 4 taps");
}

TEST(QtExecutor, RunsJobsFromAnyThreadOnTheMainThreadInOrderAndDelayedOnesUnlessCancelled) {
  QtExecutor executor;
  std::vector<std::string> ran;
  executor.post([&] { ran.push_back("posted"); });
  const auto started = std::chrono::steady_clock::now();
  auto kept = executor.postAfter(60ms, [&] {
    ran.push_back(std::chrono::steady_clock::now() - started >= 60ms ? "delayed" : "early");
  });
  auto cancelled = executor.postAfter(20ms, [&] { ran.push_back("cancelled"); });
  auto dropped = executor.postAfter(20ms, [&] { ran.push_back("dropped"); });
  cancelled->cancel();
  dropped.reset();
  EXPECT_TRUE(ran.empty()) << "a post never runs inside the call";
  ASSERT_TRUE(QTest::qWaitFor([&] { return ran.size() == 2; }, 5000));
  EXPECT_EQ(ran, (std::vector<std::string>{"posted", "delayed"}));
}

// The settings file in a fresh $XDG_CONFIG_HOME for each case.
struct SettingsFile : testing::Test {
  SettingsFile() : saved(qgetenv("XDG_CONFIG_HOME")) {
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
  }
  ~SettingsFile() override {
    QFile::setPermissions(folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_CONFIG_HOME", saved);
  }
  QString folder() const { return home.path() + "/tempik"; }
  QTemporaryDir home;
  QByteArray saved;
};

// Damaged, hand-edited or out of reach: tempik reads what it can, keeps the edits exactly as
// typed (in memory at least), and says nothing.
TEST_F(SettingsFile, ReadsWhatItCanAndKeepsEditsWhateverTheDamage) {
  QByteArray garbage(512, 0);
  for (int i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>(i * 37 + i / 7);
  const std::pair<const char*, std::string> typed[] = {{"eosIP", " 10.1.1.5 "},
                                                       {"quoting", "a;b=c\"d\\e#f,g"},
                                                       {"unicode", "Effekt \xC3\xBC"},
                                                       {"empty", ""}};
  const struct {
    const char* name;
    std::optional<QByteArray> file;  // or a file where the folder should be
    bool readOnly;
    std::optional<std::string> bpmFX, bpmMacro;
    bool editsPersist;
  } cases[] = {
      {"garbage", garbage + garbage, false, std::nullopt, std::nullopt, true},
      {"garbage around lines", garbage + "\n[General]\nbpmFX=1-4\nbpmMacro=7\n" + garbage, false,
       "1-4", "7", true},
      {"hand-edited",
       "[General]\nbpmFX=1,2\nbpmMacro=\"90, 1\"\nx=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)", false,
       "1,2", "90, 1", true},
      {"read-only folder", "[General]\nbpmFX=2\n", true, "2", std::nullopt, false},
      {"folder is a file", std::nullopt, false, std::nullopt, std::nullopt, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QDir(folder()).removeRecursively();
    QFile::remove(folder());
    if (c.file) {
      ASSERT_TRUE(QDir().mkpath(folder()));
      QFile file(folder() + "/tempik.conf");
      ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(*c.file) == c.file->size());
    } else {
      QFile blocker(folder());
      ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }
    if (c.readOnly) QFile::setPermissions(folder(), QFile::ReadOwner | QFile::ExeOwner);
    ::testing::internal::CaptureStderr();
    {
      QtSettingsStore store;
      EXPECT_EQ(store.read("bpmFX"), c.bpmFX);
      EXPECT_EQ(store.read("bpmMacro"), c.bpmMacro);
      std::optional<core::SettingsError> failed;
      for (const auto& [key, value] : typed) failed = store.write(key, value);
      EXPECT_EQ(store.read("eosIP"), typed[0].second);
      // Each write that misses the file says where it should have gone.
      if (c.editsPersist) {
        EXPECT_EQ(failed, std::nullopt);
      }
      if (!c.file) {
        EXPECT_EQ(failed.value_or(core::SettingsError{}).location, folder().toStdString());
      }
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    // Root writes through a read-only folder, so only a file in the way surely stops it.
    const QtSettingsStore nextRun;
    for (const auto& [key, value] : typed) {
      const auto read = nextRun.read(key);
      EXPECT_TRUE(c.editsPersist ? read == value : c.file || !read) << key << read.value_or("");
    }
    QFile::setPermissions(folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
}

TEST(TapButton, SpaceAndReturnTapOncePerKeyDownAsAFootSwitchTypesThem) {
  constexpr int space = Qt::Key_Space;
  // Key-down or up, key, auto-repeat flag, time stamp.
  using Key = std::tuple<bool, int, bool, unsigned long>;
  const std::pair<std::vector<Key>, int> cases[] = {
      {{{true, Qt::Key_Return, false, 1}, {true, Qt::Key_Enter, false, 2}}, 2},
      {{{true, space, false, 1}, {true, space, true, 600}}, 1},
      // A screen reader hands every key back with no time stamp: each press still taps.
      {{{true, space, false, 0}, {false, space, false, 0}, {true, space, false, 0}}, 2},
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

TEST(Portal, ReadsTheSchemeHoweverManyVariantsWrapIt) {
  const auto wrapped = [](const QVariant& v) { return QVariant::fromValue(QDBusVariant(v)); };
  EXPECT_EQ(colorSchemeFromPortalValue(QVariant(1u)), ColorScheme::dark);
  EXPECT_EQ(colorSchemeFromPortalValue(wrapped(2u)), ColorScheme::light);          // a change
  EXPECT_EQ(colorSchemeFromPortalValue(wrapped(wrapped(1u))), ColorScheme::dark);  // Read
  EXPECT_EQ(colorSchemeFromPortalValue(wrapped(QStringLiteral("dark"))), ColorScheme::noPreference);
}

TEST(Accent, FallsBackToAClearBlueForADarkGreyOrPaleAccent) {
  const std::pair<QRgb, bool> cases[] = {
      {0x308cc6, true},  {0xe53e35, true},  {0x2f9e44, true},  {0x2a6f75, false},
      {0x5a7da0, false}, {0x808080, false}, {0x000000, false}, {0xcce8ff, false},
  };
  for (const auto& [accent, kept] : cases) {
    EXPECT_EQ(vividAccent(QColor(accent)), QColor(kept ? accent : fallbackAccent)) << accent;
  }
}

// A platform theme such as qt6ct hands Qt a palette for labels, which Qt puts back each time the
// application's palette returns to the theme's own: labels hear of it before their window does.
TEST(Credits, StayDimmedThroughLightDarkSwitchesWhenTheThemeGivesLabelsTheirOwnPalette) {
  const QPalette saved = QApplication::palette();
  QWidget window;
  TintedLabel* plain = makeCreditsLabel(QString());
  TintedLabel* credits = makeCreditsLabel(QStringLiteral("https://example.org"));
  plain->setParent(&window);
  credits->setParent(&window);
  window.show();
  const QPalette light = QApplication::style()->standardPalette();
  for (const QPalette& scheme : {darkPalette(), light, darkPalette(), light}) {
    QApplication::setPalette(scheme);
    if (!isDark(scheme)) QApplication::setPalette(scheme, "QLabel");
    QCoreApplication::sendPostedEvents();
    for (const TintedLabel* label : {plain, credits}) {
      EXPECT_EQ(label->palette().color(label->foregroundRole()), secondaryColor(scheme));
    }
    // The link shows as the dimmed text does over the window: 55 % of the way to the text.
    const QColor link(QRegularExpression("color: (#\\w+)").match(credits->text()).captured(1));
    const int ground = scheme.color(QPalette::Window).lightness();
    EXPECT_NEAR(link.lightness() - ground,
                0.55 * (scheme.color(QPalette::WindowText).lightness() - ground), 3);
  }
  QApplication::setPalette(saved);
}

TEST(SingleInstance, ALaterLaunchAsksTheFirstToComeForward) {
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
