#pragma once

#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <optional>

#include "ui/PulseLevel.h"

namespace tempik::ui {

/// How many of the four dots are lit at a time: the taps of the current sequence, or none
/// once more than the tempo engine's longest gap (5 s) has passed since the last tap (the next tap starts afresh).
[[nodiscard]] std::int64_t visibleTapCount(std::int64_t tapCount, std::optional<TimePoint> lastTap,
                                           TimePoint now);

/// Four 10-pixel dots, 10 pixels apart, lit from the left in the accent colour for each
/// tap of the current sequence, the rest dimmed. Checks the time four times a second while
/// shown, so the dots go dark soon after the sequence lapses. Lives on the main thread;
/// to assistive technologies it reads, for example, "2 of 4 taps".
class TapWindowDots final : public QWidget {
  Q_OBJECT

 public:
  static constexpr int dotCount = 4;
  static constexpr int dotDiameter = 10;
  static constexpr int gap = 10;

  explicit TapWindowDots(QWidget* parent = nullptr);

  void setTaps(std::int64_t tapCount, std::optional<TimePoint> lastTap);
  /// The number of lit dots, as last drawn or checked.
  [[nodiscard]] std::int64_t litDots() const { return litDots_; }

  [[nodiscard]] QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void refresh();

  std::int64_t tapCount_ = 0;
  std::optional<TimePoint> lastTap_;
  std::int64_t litDots_ = 0;
  QTimer tick_;
};

}  // namespace tempik::ui
