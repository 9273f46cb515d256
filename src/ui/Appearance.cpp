#include "ui/Appearance.h"

#include <QApplication>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace tempik::ui {
namespace {

// Below this saturation an accent reads as grey; outside these lightness bounds it is too
// dark to glow or too pale to carry white text.
constexpr float minimumSaturation = 0.45F;
constexpr float minimumLightness = 0.35F;
constexpr float maximumLightness = 0.75F;

}  // namespace

QColor vividAccent(const QColor& accent) {
  const QColor hsl = accent.toHsl();
  const bool vivid = hsl.hslSaturationF() >= minimumSaturation &&
                     hsl.lightnessF() >= minimumLightness && hsl.lightnessF() <= maximumLightness;
  return vivid ? accent : QColor(fallbackAccent);
}

QColor accentColor(const QWidget& widget) {
  return vividAccent(widget.palette().color(QPalette::Highlight));
}

QColor secondaryColor(const QPalette& palette) {
  QColor color = palette.color(QPalette::WindowText);
  color.setAlphaF(0.55F);
  return color;
}

QColor secondaryColor(const QWidget& widget) {
  return secondaryColor(widget.palette());
}

bool isDark(const QPalette& palette) {
  return palette.color(QPalette::Window).lightnessF() <
         palette.color(QPalette::WindowText).lightnessF();
}

QColor connectedColor() {
  return {0x2f, 0xa8, 0x4f};
}
QColor alertColor() {
  return {0xe5, 0x3e, 0x35};
}
QColor alertColor(const QPalette& palette) {
  // The light red keeps small text readable on a dark window.
  return isDark(palette) ? QColor(0xff, 0x6b, 0x63) : alertColor();
}

QColor warningColor() {
  return {0xff, 0xb3, 0x1f};
}
QColor warningTextColor() {
  return {0x1e, 0x1e, 0x1e};
}

QFont systemFont(int pixelSize, QFont::Weight weight) {
  QFont font = QApplication::font();
  font.setPixelSize(pixelSize);
  font.setWeight(weight);
  return font;
}

QFont relativeFont(double scale, QFont::Weight weight) {
  QFont font = QApplication::font();
  if (font.pointSizeF() > 0) {
    font.setPointSizeF(font.pointSizeF() * scale);
  } else {
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(font.pixelSize() * scale))));
  }
  font.setWeight(weight);
  return font;
}

// Caption and second caption stand to the body text as 12 and 11 to 13.
QFont captionFont() {
  return relativeFont(12.0 / 13.0);
}
QFont secondCaptionFont() {
  return relativeFont(11.0 / 13.0);
}
QFont title3Font() {
  return systemFont(20, QFont::DemiBold);
}

QIcon applicationIcon() {
  return QIcon(QStringLiteral(":/tempik/tempik.svg"));
}

bool reduceMotionRequested() {
  return false;
}

}  // namespace tempik::ui
