#pragma once

#include <QColor>
#include <QFont>

class QWidget;

namespace tempik::ui {

// The window's shared look. Sizes are in device-independent pixels, so the window has the
// same proportions whatever the screen's font DPI.

/// The desktop's accent colour: the palette's highlight colour.
[[nodiscard]] QColor accentColor(const QWidget& widget);
/// Dimmed text colour for secondary information.
[[nodiscard]] QColor secondaryColor(const QWidget& widget);
/// Status colours, readable on light and dark window backgrounds.
[[nodiscard]] QColor connectedColor();
[[nodiscard]] QColor alertColor();

/// The application font at a pixel size and weight.
[[nodiscard]] QFont systemFont(int pixelSize, QFont::Weight weight = QFont::Normal);
/// Small text: hints and status.
[[nodiscard]] QFont captionFont();
/// The smallest text: credits and the status icon.
[[nodiscard]] QFont secondCaptionFont();
/// The "BPM" under the tap button's number.
[[nodiscard]] QFont title3Font();

/// Whether the desktop asks for reduced motion. Qt 6.4 exposes no such setting on Linux,
/// so there it is always off.
[[nodiscard]] bool reduceMotionRequested();

}  // namespace tempik::ui
