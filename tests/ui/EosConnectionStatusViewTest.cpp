#include "ui/EosConnectionStatusView.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QImage>

#include "ui/Appearance.h"

namespace tempik::ui {
namespace {

// The middle of the status circle: filled when connected, hollow when not.
QColor circleMiddle(EosConnectionStatusView& view) {
  const QImage image = view.grab().toImage();
  return image.pixelColor(4, image.height() / 2);
}

TEST(EosConnectionStatusView, ShowsAFilledGreenOrHollowRedCircleWithItsText) {
  EosConnectionStatusView view;
  view.show();
  EXPECT_EQ(view.text(), "Not Connected");
  EXPECT_EQ(QAccessible::queryAccessibleInterface(&view)->text(QAccessible::Name), "Not Connected");
  EXPECT_EQ(circleMiddle(view), view.palette().color(QPalette::Window));

  view.setConnected(true);
  EXPECT_EQ(view.text(), "Connected");
  EXPECT_EQ(QAccessible::queryAccessibleInterface(&view)->text(QAccessible::Name), "Connected");
  EXPECT_EQ(circleMiddle(view), connectedColor());
}

}  // namespace
}  // namespace tempik::ui
