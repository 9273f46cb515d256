#include "ui/Appearance.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

namespace tempik::ui {

QColor accentColor(const QWidget& widget) {
  return widget.palette().color(QPalette::Highlight);
}

QColor secondaryColor(const QWidget& widget) {
  QColor color = widget.palette().color(QPalette::WindowText);
  color.setAlphaF(0.55F);
  return color;
}

QColor connectedColor() {
  return {0x2f, 0xa8, 0x4f};
}
QColor alertColor() {
  return {0xe5, 0x3e, 0x35};
}

QFont systemFont(int pixelSize, QFont::Weight weight) {
  QFont font = QApplication::font();
  font.setPixelSize(pixelSize);
  font.setWeight(weight);
  return font;
}

QFont captionFont() {
  return systemFont(12);
}
QFont secondCaptionFont() {
  return systemFont(11);
}
QFont title3Font() {
  return systemFont(20, QFont::DemiBold);
}

bool reduceMotionRequested() {
  return false;
}

}  // namespace tempik::ui
