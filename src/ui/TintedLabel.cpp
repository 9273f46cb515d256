#include "ui/TintedLabel.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>

namespace tempik::ui {

TintedLabel::TintedLabel(const QString& text, Tint tint, QWidget* parent)
    : QLabel(text, parent), tint_(tint) {
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
  const QColor colour =
      tint_(parentWidget() ? parentWidget()->palette() : QApplication::palette(this));
  QPalette colours = palette();
  if (colours.color(QPalette::WindowText) == colour && colours.color(QPalette::Link) == colour) {
    return;
  }
  colours.setColor(QPalette::WindowText, colour);
  colours.setColor(QPalette::Link, colour);
  colours.setColor(QPalette::LinkVisited, colour);
  setPalette(colours);
}

}  // namespace tempik::ui
