#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPalette>

class QWidget;

namespace tempik::ui {

// The window's shared look. Drawing sizes are in device-independent pixels; text sizes
// follow the application font, so a larger desktop font enlarges every line alike.

/// A clear blue that glows on light and dark backgrounds alike.
inline constexpr QRgb fallbackAccent = 0x0a84ff;

/// The accent itself when it is vivid enough to glow behind white text, otherwise the
/// fallback blue: a dark, grey or washed-out accent gives a weak glow and dots that can
/// hardly be told from the unlit ones.
[[nodiscard]] QColor vividAccent(const QColor& accent);
/// The desktop's accent colour (the palette's highlight), made vivid.
[[nodiscard]] QColor accentColor(const QWidget& widget);
/// Dimmed text colour for secondary information.
[[nodiscard]] QColor secondaryColor(const QPalette& palette);
[[nodiscard]] QColor secondaryColor(const QWidget& widget);
/// Whether the palette draws light text on a dark window.
[[nodiscard]] bool isDark(const QPalette& palette);
/// Status colours, readable on light window backgrounds; the alert colour also on the
/// palette's own background.
[[nodiscard]] QColor connectedColor();
[[nodiscard]] QColor alertColor();
[[nodiscard]] QColor alertColor(const QPalette& palette);
/// The warning's amber, and the dark text that reads on it: what is shown is not yet so.
[[nodiscard]] QColor warningColor();
[[nodiscard]] QColor warningTextColor();

/// The application font at a pixel size and weight, for text inside fixed-size drawings.
[[nodiscard]] QFont systemFont(int pixelSize, QFont::Weight weight = QFont::Normal);
/// The application font scaled by a factor, for text that sits beside the form's labels.
[[nodiscard]] QFont relativeFont(double scale, QFont::Weight weight = QFont::Normal);
/// Small text: hints and status.
[[nodiscard]] QFont captionFont();
/// The smallest text: credits and the status icon.
[[nodiscard]] QFont secondCaptionFont();
/// The "BPM" under the tap button's number.
[[nodiscard]] QFont title3Font();

/// tempik's icon, drawn from its SVG (needs Qt's SVG icon plugin; empty without it).
[[nodiscard]] QIcon applicationIcon();

/// Whether the desktop asks for reduced motion. Qt 6.4 exposes no such setting on Linux,
/// so there it is always off.
[[nodiscard]] bool reduceMotionRequested();

}  // namespace tempik::ui
