#include "ui/TintedLabel.h"

#include <QEvent>
#include <QFocusEvent>
#include <utility>

namespace tempik::ui {
namespace {

// The label's text colour: a role no tint reads (they read the window and its text) and no
// label draws with otherwise.
constexpr QPalette::ColorRole tintRole = QPalette::Text;

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
  setForegroundRole(tintRole);
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
  if (event->type() == QEvent::PaletteChange) applyTint();
}

void TintedLabel::focusInEvent(QFocusEvent* event) {
  QLabel::focusInEvent(event);
  // A plain label takes the focus with no link marked: a stop that shows nothing.
  if (!(textInteractionFlags() & Qt::LinksAccessibleByKeyboard)) return;
  if (event->reason() == Qt::TabFocusReason) QLabel::focusNextPrevChild(true);
  if (event->reason() == Qt::BacktabFocusReason) QLabel::focusNextPrevChild(false);
}

void TintedLabel::applyTint() {
  // From the label's own palette, as Qt resolved it for this change. Not the parent's: that may
  // not be updated yet, and where the theme gives labels a palette of their own, the parent's
  // later update never reaches the label. The tint sits in a role of its own: no feedback.
  const QPalette& colours = palette();
  const QColor colour = tint_(colours);
  const QString content = text_(over(colour, colours.color(QPalette::Window)));
  if (colours.color(tintRole) == colour && text() == content) return;
  QPalette tinted = colours;
  tinted.setColor(tintRole, colour);
  setPalette(tinted);
  setText(content);
}

}  // namespace tempik::ui
