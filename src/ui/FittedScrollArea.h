#pragma once

#include <QScrollArea>

namespace tempik::ui {

/// Holds the window's content at its natural size, and when the screen is too short for
/// the whole window (a large scale factor on a small screen), caps its own height so the
/// window fits the screen's free area and scrolls the content vertically instead.
///
/// Its size hint follows the content's: the window, sized to its content, still grows and
/// shrinks with it, and is lifted when it would reach past the bottom of the screen. Never
/// a keyboard stop of its own. Main thread only.
class FittedScrollArea final : public QScrollArea {
  Q_OBJECT

 public:
  explicit FittedScrollArea(QWidget* content, QWidget* parent = nullptr);

  [[nodiscard]] QSize sizeHint() const override;
  [[nodiscard]] QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool event(QEvent* event) override;

 private:
  /// The tallest this area may be for its window to fit the screen's free area.
  [[nodiscard]] int heightLimit() const;
  /// Moves the window up when it reaches past the bottom of the screen's free area.
  void keepWindowOnScreen();

  QWidget* watchedWindow_ = nullptr;
};

}  // namespace tempik::ui
