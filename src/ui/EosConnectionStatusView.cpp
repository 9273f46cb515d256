#include "ui/EosConnectionStatusView.h"

#include <QFontMetrics>
#include <QPainter>
#include <QVBoxLayout>

#include "ui/Appearance.h"
#include "ui/TintedLabel.h"

namespace tempik::ui {
namespace {

// The circle has the size of a glyph of the smallest text style.
int iconDiameter() {
  return QFontMetrics(secondCaptionFont()).capHeight() + 2;
}

}  // namespace

/// The circle and the status word, drawn.
class EosConnectionStatusView::Line final : public QWidget {
 public:
  explicit Line(const EosConnectionStatusView& status) : status_(status) {
    setFont(captionFont());
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  }

  [[nodiscard]] QSize sizeHint() const override {
    const QFontMetrics metrics(font());
    return {iconDiameter() + spacing + metrics.horizontalAdvance(status_.text()), metrics.height()};
  }
  [[nodiscard]] QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool connected = status_.isConnected();
    const QColor colour = connected ? connectedColor() : alertColor();
    const double diameter = iconDiameter();
    const QRectF circle(0.75, (height() - diameter) / 2.0, diameter - 1.5, diameter - 1.5);
    if (connected) {
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
                     Qt::AlignLeft | Qt::AlignVCenter, status_.text());
  }

 private:
  const EosConnectionStatusView& status_;
};

EosConnectionStatusView::EosConnectionStatusView(QWidget* parent) : QWidget(parent) {
  line_ = new Line(*this);
  QColor (*dimmed)(const QPalette&) = secondaryColor;
  reason_ = new TintedLabel(QString(), dimmed);
  reason_->setFont(captionFont());
  reason_->setWordWrap(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addWidget(line_);
  layout->addWidget(reason_);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  showState();
}

void EosConnectionStatusView::setConnected(bool isConnected) {
  if (isConnected == isConnected_) return;
  isConnected_ = isConnected;
  showState();
}

void EosConnectionStatusView::setProblem(std::optional<link::LinkProblem> problem) {
  if (problem == problem_) return;
  problem_ = problem;
  showState();
}

QString EosConnectionStatusView::text() const {
  return isConnected_ ? tr("Connected") : tr("Not Connected");
}

QString EosConnectionStatusView::reason() const {
  return isConnected_ || !problem_ ? QString() : reasonText(*problem_);
}

QString EosConnectionStatusView::reasonText(link::LinkProblem problem) {
  using P = link::LinkProblem;
  switch (problem) {
    case P::badAddress:
      return tr("Check the address above.");
    case P::refused:
      return tr(
          "The console refused the connection. Is OSC TCP on, with port 3038 among its "
          "server ports?");
    case P::noAnswer:
      return tr("No answer within 5 seconds. Check the address and the network.");
    case P::hostNotFound:
      return tr("Host name not found. Check its spelling, or use the IP address.");
    case P::networkUnreachable:
      return tr("Network unreachable. Check the cable and the address.");
    case P::closedByConsole:
      return tr("The console closed the connection. Reconnecting…");
    case P::resetByConsole:
      return tr("The connection was reset. Reconnecting…");
    case P::stalled:
      return tr("The console stopped answering. Reconnecting…");
    case P::failed:
      return tr("The connection failed. Retrying…");
    case P::superseded:
      break;
  }
  return {};
}

void EosConnectionStatusView::showState() {
  const QString why = reason();
  reason_->replaceText(why);
  reason_->setHidden(why.isEmpty());
  //: What a screen reader hears: the status (%1) and why (%2).
  setAccessibleName(why.isEmpty() ? text() : tr("%1: %2").arg(text(), why));
  line_->updateGeometry();
  line_->update();
}

}  // namespace tempik::ui
