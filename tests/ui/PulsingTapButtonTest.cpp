#include "ui/PulsingTapButton.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QTest>

namespace tempik::ui {
namespace {

using namespace std::chrono_literals;

struct TapButtonTest : testing::Test {
  TapButtonTest() {
    button.setAction([this] { ++presses; });
    button.show();
  }
  PulsingTapButton button;
  int presses = 0;
};

TEST_F(TapButtonTest, ReactsToPressesInsideTheInscribedCircleOnly) {
  const struct {
    const char* where;
    QPoint at;
    int presses;
  } cases[] = {
      {"centre", {150, 150}, 1},
      {"margin above the drawn circle", {150, 6}, 1},
      {"margin left of the drawn circle", {2, 150}, 1},
      {"top left corner of the square", {8, 8}, 0},
      {"bottom right corner of the square", {292, 292}, 0},
  };
  for (const auto& c : cases) {
    presses = 0;
    QTest::mousePress(&button, Qt::LeftButton, {}, c.at);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, c.at);
    EXPECT_EQ(presses, c.presses) << c.where;
  }
}

TEST_F(TapButtonTest, RunsTheActionOnceWhenThePointerGoesDown) {
  QTest::mousePress(&button, Qt::LeftButton, {}, {150, 150});
  EXPECT_EQ(presses, 1);
  QTest::mouseMove(&button, {290, 10});
  QTest::mouseRelease(&button, Qt::LeftButton, {}, {290, 10});
  EXPECT_EQ(presses, 1);

  // Taps faster than the double-click interval count one by one, through the window
  // system's own press, release, press, double-click, release sequence.
  QTest::mouseDClick(button.windowHandle(), Qt::LeftButton, {}, {150, 150});
  EXPECT_EQ(presses, 3);

  QTest::mousePress(&button, Qt::RightButton, {}, {150, 150});
  EXPECT_EQ(presses, 3);
}

TEST_F(TapButtonTest, IsOneAccessibleButtonWhosePressTaps) {
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&button);
  ASSERT_NE(accessible, nullptr);
  EXPECT_EQ(accessible->role(), QAccessible::Button);
  EXPECT_EQ(accessible->text(QAccessible::Name), "Tap tempo");
  EXPECT_EQ(accessible->text(QAccessible::Value), "No tempo");
  EXPECT_EQ(accessible->childCount(), 0);

  button.setBpm(120);
  EXPECT_EQ(accessible->text(QAccessible::Value), "120 BPM");

  QAccessibleActionInterface* actions = accessible->actionInterface();
  ASSERT_NE(actions, nullptr);
  ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
  actions->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(presses, 1);
}

TEST_F(TapButtonTest, RequestsFramesOnlyWhileATempoPulsesOnScreen) {
  EXPECT_FALSE(button.isAnimating()) << "no tempo";

  button.setBpm(120);
  button.setLastTap(std::chrono::system_clock::now());
  EXPECT_TRUE(button.isAnimating());

  bool reduceMotion = true;
  button.setReduceMotionSource([&] { return reduceMotion; });
  EXPECT_FALSE(button.isAnimating()) << "reduced motion";
  button.setBpm(121);
  EXPECT_EQ(button.tempoText(), "121") << "the number follows the tempo without motion";
  reduceMotion = false;
  button.setBpm(122);
  EXPECT_TRUE(button.isAnimating());

  button.hide();
  EXPECT_FALSE(button.isAnimating()) << "hidden";
  button.show();
  EXPECT_TRUE(button.isAnimating());

  button.setBpm(std::nullopt);
  EXPECT_FALSE(button.isAnimating()) << "tempo gone";
}

}  // namespace
}  // namespace tempik::ui
