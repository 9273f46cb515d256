#include "ui/TapWindowDots.h"

#include <QPainter>
#include <algorithm>
#include <chrono>

#include "core/TapTempo.h"
#include "ui/Appearance.h"

namespace tempik::ui {

std::int64_t visibleTapCount(std::int64_t tapCount, std::optional<TimePoint> lastTap,
                             TimePoint now) {
  if (!lastTap) return 0;
  // The dots show the sequence the tempo engine still counts: it lapses after the same gap. A
  // tap in the future (the clock went back) is not that long ago, so it still counts.
  if (now - *lastTap > core::TapTempo::longestGap) return 0;
  return tapCount;
}

TapWindowDots::TapWindowDots(QWidget* parent) : QWidget(parent) {
  setFixedSize(sizeHint());
  setAccessibleName(tr("%1 of %2 taps").arg(0).arg(dotCount));
  tick_.setInterval(250);
  connect(&tick_, &QTimer::timeout, this, &TapWindowDots::refresh);
}

QSize TapWindowDots::sizeHint() const {
  return {dotCount * dotDiameter + (dotCount - 1) * gap, dotDiameter};
}

void TapWindowDots::setTaps(std::int64_t tapCount, std::optional<TimePoint> lastTap) {
  tapCount_ = tapCount;
  lastTap_ = lastTap;
  refresh();
}

void TapWindowDots::refresh() {
  const std::int64_t lit = std::clamp<std::int64_t>(
      visibleTapCount(tapCount_, lastTap_, std::chrono::system_clock::now()), 0, dotCount);
  if (lit == litDots_) return;
  litDots_ = lit;
  setAccessibleName(tr("%1 of %2 taps").arg(lit).arg(dotCount));
  update();
}

void TapWindowDots::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  const QColor lit = accentColor(*this);
  QColor dim = secondaryColor(*this);
  dim.setAlphaF(dim.alphaF() * 0.3F);
  for (int i = 0; i < dotCount; ++i) {
    painter.setBrush(i < litDots_ ? lit : dim);
    painter.drawEllipse(QRectF(i * (dotDiameter + gap), 0, dotDiameter, dotDiameter));
  }
}

void TapWindowDots::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  refresh();
  tick_.start();
}

void TapWindowDots::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  tick_.stop();
}

}  // namespace tempik::ui
