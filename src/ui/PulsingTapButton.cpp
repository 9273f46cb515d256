#include "ui/PulsingTapButton.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <utility>

#include "ui/Appearance.h"

namespace tempik::ui {
namespace {

constexpr QChar enDash{0x2013};

/// One element for assistive technologies: a button whose press runs the action.
class TapButtonAccessible final : public QAccessibleWidget {
 public:
  explicit TapButtonAccessible(PulsingTapButton* button)
      : QAccessibleWidget(button, QAccessible::Button), button_(button) {}

  [[nodiscard]] QString text(QAccessible::Text kind) const override {
    switch (kind) {
      case QAccessible::Name:
        return QStringLiteral("Tap tempo");
      case QAccessible::Value:
        return button_->accessibleValue();
      default:
        return QAccessibleWidget::text(kind);
    }
  }
  [[nodiscard]] int childCount() const override { return 0; }
  [[nodiscard]] QAccessibleInterface* child(int) const override { return nullptr; }

  [[nodiscard]] QStringList actionNames() const override { return {pressAction()}; }
  void doAction(const QString& name) override {
    if (name == pressAction()) button_->press();
  }

 private:
  PulsingTapButton* button_;
};

QAccessibleInterface* tapButtonAccessibleFactory(const QString&, QObject* object) {
  // Qt takes ownership of the interface it is given.
  if (auto* button = qobject_cast<PulsingTapButton*>(object)) {
    return new TapButtonAccessible(button);
  }
  return nullptr;
}

void installAccessibleFactoryOnce() {
  static const bool installed = [] {
    QAccessible::installFactory(tapButtonAccessibleFactory);
    return true;
  }();
  (void)installed;
}

/// A soft halo as a shadow of the circle blurred by blurRadius would look: the opacity
/// falls off from the circle's edge like a Gaussian blur of a disc (half strength at the
/// edge). A radial gradient keeps each frame's work to one fill.
void drawGlow(QPainter& painter, QPointF centre, double radius, QColor colour, Glow glow) {
  const double outer = radius + glow.blurRadius;
  const double sigma = glow.blurRadius / 2.0;
  QRadialGradient gradient(centre, outer);
  constexpr int steps = 8;
  for (int i = -1; i <= steps; ++i) {
    const double distance = glow.blurRadius * i / steps;  // beyond the circle's edge
    const double strength = 0.5 * std::erfc(distance / (sigma * std::sqrt(2.0)));
    QColor stop = colour;
    stop.setAlphaF(static_cast<float>(glow.opacity * (i == steps ? 0.0 : strength)));
    gradient.setColorAt((radius + distance) / outer, stop);
  }
  painter.setPen(Qt::NoPen);
  painter.setBrush(gradient);
  painter.drawEllipse(centre, outer, outer);
}

}  // namespace

PulsingTapButton::PulsingTapButton(QWidget* parent)
    : QWidget(parent), reduceMotionSource_(reduceMotionRequested) {
  installAccessibleFactoryOnce();
  setFixedSize(side, side);
  setAccessibleName(QStringLiteral("Tap tempo"));
  frameTimer_.setTimerType(Qt::PreciseTimer);
  connect(&frameTimer_, &QTimer::timeout, this, [this] {
    if (reduceMotion()) {
      updateFrameClock();
    }
    update();
  });
}

void PulsingTapButton::setBpm(std::optional<std::int64_t> bpm) {
  if (bpm == bpm_) return;
  bpm_ = bpm;
  updateFrameClock();
  update();
}

void PulsingTapButton::setLastTap(std::optional<TimePoint> lastTap) {
  if (lastTap == lastTap_) return;
  lastTap_ = lastTap;
  updateFrameClock();
  update();
}

void PulsingTapButton::setAction(std::function<void()> action) {
  action_ = std::move(action);
}

void PulsingTapButton::setReduceMotionSource(std::function<bool()> source) {
  reduceMotionSource_ = std::move(source);
  updateFrameClock();
  update();
}

void PulsingTapButton::press() {
  if (action_) action_();
}

QString PulsingTapButton::accessibleValue() const {
  return bpm_ ? QString::number(*bpm_) + QStringLiteral(" BPM") : QStringLiteral("No tempo");
}

QString PulsingTapButton::tempoText() const {
  return bpm_ ? QString::number(*bpm_) : QString(enDash);
}

bool PulsingTapButton::reduceMotion() const {
  return reduceMotionSource_ && reduceMotionSource_();
}

void PulsingTapButton::updateFrameClock() {
  const bool pulsing = bpm_ && lastTap_ && !reduceMotion() && isVisible();
  if (!pulsing) {
    frameTimer_.stop();
    return;
  }
  const QScreen* display = screen();
  const double refreshRate = display ? display->refreshRate() : 60.0;
  const int interval = static_cast<int>(std::lround(1000.0 / std::clamp(refreshRate, 24.0, 240.0)));
  if (!frameTimer_.isActive() || frameTimer_.interval() != interval) frameTimer_.start(interval);
}

void PulsingTapButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);

  const QColor accent = accentColor(*this);
  const QPointF centre(side / 2.0, side / 2.0);
  constexpr double radius = circleDiameter / 2.0;

  const double level = pulseLevel(bpm_, lastTap_, reduceMotion(), std::chrono::system_clock::now());
  drawGlow(painter, centre, radius, accent, glowAt(level));

  QLinearGradient fill(centre.x(), centre.y() - radius, centre.x(), centre.y() + radius);
  fill.setColorAt(0.0, accent.lighter(118));
  fill.setColorAt(1.0, accent.darker(112));
  painter.setBrush(fill);
  painter.drawEllipse(centre, radius, radius);

  const QFont numberFont = systemFont(72, QFont::Bold);
  const QFont unitFont = title3Font();
  const QFontMetricsF numberMetrics(numberFont);
  const QFontMetricsF unitMetrics(unitFont);
  const double stackHeight = numberMetrics.height() + unitMetrics.height();
  const double top = centre.y() - stackHeight / 2.0;

  painter.setPen(Qt::white);
  painter.setFont(numberFont);
  painter.drawText(QRectF(0, top, side, numberMetrics.height()), Qt::AlignCenter, tempoText());
  painter.setFont(unitFont);
  painter.drawText(QRectF(0, top + numberMetrics.height(), side, unitMetrics.height()),
                   Qt::AlignCenter, QStringLiteral("BPM"));
}

void PulsingTapButton::mousePressEvent(QMouseEvent* event) {
  const QPointF offset = event->position() - QPointF(side / 2.0, side / 2.0);
  const double reach = side / 2.0;
  const bool inside = QPointF::dotProduct(offset, offset) <= reach * reach;
  if (event->button() != Qt::LeftButton || !inside) {
    event->ignore();
    return;
  }
  event->accept();
  press();
}

void PulsingTapButton::mouseDoubleClickEvent(QMouseEvent* event) {
  // Quick taps arrive as double clicks; each is a press of its own.
  mousePressEvent(event);
}

void PulsingTapButton::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  updateFrameClock();
}

void PulsingTapButton::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  updateFrameClock();
}

}  // namespace tempik::ui
