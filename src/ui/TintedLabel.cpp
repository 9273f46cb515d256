#include "ui/TintedLabel.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <utility>

namespace tempik::ui {
namespace {

// The colour as it shows over the background, without transparency.
QColor over(const QColor& colour, const QColor& background) {
  const double alpha = colour.alphaF();
  const auto mix = [alpha](double front, double back) {
    return alpha * front + (1 - alpha) * back;
  };
  return QColor::fromRgbF(static_cast<float>(mix(colour.redF(), background.redF())),
                          static_cast<float>(mix(colour.greenF(), background.greenF())),
                          static_cast<float>(mix(colour.blueF(), background.blueF())));
}

}  // namespace

TintedLabel::TintedLabel(LinkedText text, Tint tint, QWidget* parent)
    : QLabel(parent), text_(std::move(text)), tint_(tint) {
  applyTint();
}

TintedLabel::TintedLabel(const QString& text, Tint tint, QWidget* parent)
    : TintedLabel([text](const QColor&) { return text; }, tint, parent) {}

void TintedLabel::replaceText(const QString& text) {
  text_ = [text](const QColor&) { return text; };
  applyTint();
}

void TintedLabel::changeEvent(QEvent* event) {
  QLabel::changeEvent(event);
  if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ParentChange) {
    applyTint();
  }
}

void TintedLabel::focusInEvent(QFocusEvent* event) {
  QLabel::focusInEvent(event);
  // A plain label takes the focus with no link marked: a stop that shows nothing.
  if (!(textInteractionFlags() & Qt::LinksAccessibleByKeyboard)) return;
  if (event->reason() == Qt::TabFocusReason) QLabel::focusNextPrevChild(true);
  if (event->reason() == Qt::BacktabFocusReason) QLabel::focusNextPrevChild(false);
}

void TintedLabel::applyTint() {
  // From the parent's palette, not the label's own: that one already carries the tint.
  const QPalette surrounding =
      parentWidget() ? parentWidget()->palette() : QApplication::palette(this);
  const QColor colour = tint_(surrounding);
  const QString content = text_(over(colour, surrounding.color(QPalette::Window)));
  if (palette().color(QPalette::WindowText) == colour && text() == content) return;
  QPalette colours = palette();
  colours.setColor(QPalette::WindowText, colour);
  setPalette(colours);
  setText(content);
}

}  // namespace tempik::ui
