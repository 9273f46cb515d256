#include "ui/ColorScheme.h"

#include "ui/Appearance.h"

namespace tempik::ui {

ColorScheme colorSchemeFromPortal(std::uint32_t value) {
  switch (value) {
    case 1:
      return ColorScheme::dark;
    case 2:
      return ColorScheme::light;
    default:
      return ColorScheme::noPreference;
  }
}

QPalette darkPalette() {
  const QColor window(0x1e, 0x1e, 0x1e);
  const QColor group(0x2c, 0x2c, 0x2c);
  const QColor text(0xe8, 0xe8, 0xe8);
  const QColor disabledText(0x7a, 0x7a, 0x7a);
  QPalette palette;
  palette.setColor(QPalette::Window, window);
  palette.setColor(QPalette::WindowText, text);
  palette.setColor(QPalette::Base, group);
  palette.setColor(QPalette::AlternateBase, QColor(0x33, 0x33, 0x33));
  palette.setColor(QPalette::Text, text);
  palette.setColor(QPalette::PlaceholderText, QColor(0x9a, 0x9a, 0x9a));
  palette.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
  palette.setColor(QPalette::ButtonText, text);
  palette.setColor(QPalette::BrightText, alertColor(palette));
  palette.setColor(QPalette::Light, QColor(0x4a, 0x4a, 0x4a));
  palette.setColor(QPalette::Midlight, QColor(0x3c, 0x3c, 0x3c));
  palette.setColor(QPalette::Mid, QColor(0x29, 0x29, 0x29));
  palette.setColor(QPalette::Dark, QColor(0x16, 0x16, 0x16));
  palette.setColor(QPalette::Shadow, Qt::black);
  palette.setColor(QPalette::Highlight, QColor(fallbackAccent));
  palette.setColor(QPalette::HighlightedText, Qt::white);
  palette.setColor(QPalette::Link, QColor(0x4e, 0xa1, 0xff));
  palette.setColor(QPalette::LinkVisited, QColor(0xb4, 0x8c, 0xff));
  palette.setColor(QPalette::ToolTipBase, group);
  palette.setColor(QPalette::ToolTipText, text);
  for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
    palette.setColor(QPalette::Disabled, role, disabledText);
  }
  return palette;
}

QPalette paletteFor(ColorScheme scheme, const QPalette& platform, const QPalette& light) {
  switch (scheme) {
    case ColorScheme::dark:
      return isDark(platform) ? platform : darkPalette();
    case ColorScheme::light:
      return isDark(platform) ? light : platform;
    case ColorScheme::noPreference:
      break;
  }
  return platform;
}

}  // namespace tempik::ui
