#include "ui/EosConnectionStatusView.h"

#include <QFontMetrics>
#include <QPainter>

#include "ui/Appearance.h"

namespace tempik::ui {
namespace {

// The circle has the size of a glyph of the smallest text style.
int iconDiameter() {
  return QFontMetrics(secondCaptionFont()).capHeight() + 2;
}

}  // namespace

EosConnectionStatusView::EosConnectionStatusView(QWidget* parent) : QWidget(parent) {
  setFont(captionFont());
  setAccessibleName(text());
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void EosConnectionStatusView::setConnected(bool isConnected) {
  if (isConnected == isConnected_) return;
  isConnected_ = isConnected;
  setAccessibleName(text());
  updateGeometry();
  update();
}

QString EosConnectionStatusView::text() const {
  return isConnected_ ? QStringLiteral("Connected") : QStringLiteral("Not Connected");
}

QSize EosConnectionStatusView::sizeHint() const {
  const QFontMetrics metrics(font());
  return {iconDiameter() + spacing + metrics.horizontalAdvance(text()), metrics.height()};
}

void EosConnectionStatusView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor colour = isConnected_ ? connectedColor() : alertColor();
  const double diameter = iconDiameter();
  const QRectF circle(0.75, (height() - diameter) / 2.0, diameter - 1.5, diameter - 1.5);
  if (isConnected_) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
  } else {
    painter.setPen(QPen(colour, 1.5));
    painter.setBrush(Qt::NoBrush);
  }
  painter.drawEllipse(circle);

  painter.setPen(colour);
  painter.setFont(font());
  painter.drawText(QRectF(diameter + spacing, 0, width() - diameter - spacing, height()),
                   Qt::AlignLeft | Qt::AlignVCenter, text());
}

}  // namespace tempik::ui
