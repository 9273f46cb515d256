#include "ui/PulsingTapButton.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <utility>

#include "ui/Appearance.h"

namespace tempik::ui {
namespace {

constexpr QChar enDash{0x2013};
constexpr double focusRingWidth = 1.5;
constexpr double focusRingGap = 6.0;
// Room around the circle in the face image for the focus ring.
constexpr int ringMargin = 8;

// Half or double time, in a quiet pill over the number: a setting, not a warning.
void drawMark(QPainter& painter, const QString& mark, double radius, double numberTop) {
  const QFont font = systemFont(15, QFont::DemiBold);
  const QFontMetricsF metrics(font);
  const double height = metrics.height() + 2;
  const double width = metrics.horizontalAdvance(mark) + height;
  const QRectF pill(radius - width / 2.0, numberTop - height, width, height);
  QColor fill(Qt::white);
  fill.setAlphaF(0.22F);
  painter.setPen(Qt::NoPen);
  painter.setBrush(fill);
  painter.drawRoundedRect(pill, height / 2.0, height / 2.0);
  painter.setPen(Qt::white);
  painter.setFont(font);
  painter.drawText(pill, Qt::AlignCenter, mark);
}

// The keys that press a focused button; a USB foot switch types one of them.
bool isTapKey(int key) {
  return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
}

/// One element for assistive technologies: a button whose press runs the action.
class TapButtonAccessible final : public QAccessibleWidget {
 public:
  explicit TapButtonAccessible(PulsingTapButton* button)
      : QAccessibleWidget(button, QAccessible::Button), button_(button) {}

  [[nodiscard]] QString text(QAccessible::Text kind) const override {
    switch (kind) {
      case QAccessible::Name:
        return button_->accessibleName();
      case QAccessible::Value:
      // Linux's accessibility bus carries no text value for a button: screen readers
      // read the tempo from the description, after the name.
      case QAccessible::Description:
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

}  // namespace

PulsingTapButton::PulsingTapButton(QWidget* parent)
    : QWidget(parent), reduceMotionSource_(reduceMotionRequested) {
  installAccessibleFactoryOnce();
  setFixedSize(side, side);
  setAccessibleName(tr("Tap tempo"));
  // Focus on a click as well as by Tab, so the keyboard taps after any press.
  setFocusPolicy(Qt::StrongFocus);
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

void PulsingTapButton::setNotSent(bool notSent) {
  if (notSent == notSent_) return;
  notSent_ = notSent;
  update();
}

void PulsingTapButton::setMultiplier(core::TempoMultiplier multiplier) {
  if (multiplier == multiplier_) return;
  multiplier_ = multiplier;
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
  setFocus(Qt::OtherFocusReason);
  if (action_) action_();
}

QString PulsingTapButton::accessibleValue() const {
  QString value = !bpm_      ? tr("No tempo")
                  : notSent_ ? tr("%1 BPM, not sent").arg(*bpm_)
                             : tr("%1 BPM").arg(*bpm_);
  switch (multiplier_) {
    //: %1 is the tempo as said above ("120 BPM", "No tempo").
    case core::TempoMultiplier::half:
      return tr("%1, half time").arg(value);
    case core::TempoMultiplier::twice:
      return tr("%1, double time").arg(value);
    case core::TempoMultiplier::normal:
      break;
  }
  return value;
}

QString PulsingTapButton::multiplierMark() const {
  switch (multiplier_) {
    case core::TempoMultiplier::half:
      return QStringLiteral("×½");
    case core::TempoMultiplier::twice:
      return QStringLiteral("×2");
    case core::TempoMultiplier::normal:
      break;
  }
  return {};
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
  const QColor accent = accentColor(*this);
  const double pixelRatio = devicePixelRatioF();

  const double level = pulseLevel(bpm_, lastTap_, reduceMotion(), std::chrono::system_clock::now());
  const Glow glow = glowAt(level);
  const QImage& halo = glowImages_.halo(glow.blurRadius, accent, pixelRatio);
  const QSizeF haloSize = halo.deviceIndependentSize();
  painter.setOpacity(glow.opacity);
  painter.drawImage(QPointF((side - haloSize.width()) / 2.0, (side - haloSize.height()) / 2.0),
                    halo);
  painter.setOpacity(1.0);

  // Quiet, since the button has the focus nearly all the time; drawn with the face, so a
  // frame costs no more with it.
  QColor ring;
  if (hasFocus()) {
    ring = palette().color(QPalette::WindowText);
    ring.setAlphaF(0.35F);
  }
  const Face face{tempoText(), multiplierMark(), notSent_, accent, ring};
  if (faceImage_.isNull() || !(face_ == face) || faceImage_.devicePixelRatio() != pixelRatio) {
    faceImage_ = drawFace(face, pixelRatio);
    face_ = face;
  }
  painter.drawPixmap(QPointF(margin - ringMargin, margin - ringMargin), faceImage_);
}

QPixmap PulsingTapButton::drawFace(const Face& look, double pixelRatio) {
  constexpr int faceSide = circleDiameter + 2 * ringMargin;
  QPixmap face(QSize(faceSide, faceSide) * pixelRatio);
  face.setDevicePixelRatio(pixelRatio);
  face.fill(Qt::transparent);
  QPainter painter(&face);
  painter.setRenderHint(QPainter::Antialiasing);
  if (look.ring.isValid()) {
    painter.setPen(QPen(look.ring, focusRingWidth));
    const double ringRadius = circleDiameter / 2.0 + focusRingGap;
    painter.drawEllipse(QPointF(faceSide / 2.0, faceSide / 2.0), ringRadius, ringRadius);
  }
  painter.translate(ringMargin, ringMargin);

  constexpr double radius = circleDiameter / 2.0;
  const QPointF centre(radius, radius);
  QLinearGradient fill(0, 0, 0, circleDiameter);
  fill.setColorAt(0.0, look.accent.lighter(118));
  fill.setColorAt(1.0, look.accent.darker(112));
  painter.setPen(Qt::NoPen);
  painter.setBrush(fill);
  painter.drawEllipse(centre, radius, radius);

  const QFont numberFont = systemFont(72, QFont::Bold);
  const QFont unitFont = title3Font();
  const QFontMetricsF numberMetrics(numberFont);
  const QFontMetricsF unitMetrics(unitFont);
  const double top = radius - (numberMetrics.height() + unitMetrics.height()) / 2.0;
  painter.setPen(Qt::white);
  painter.setFont(numberFont);
  painter.drawText(QRectF(0, top, circleDiameter, numberMetrics.height()), Qt::AlignCenter,
                   look.text);
  if (!look.mark.isEmpty()) drawMark(painter, look.mark, radius, top);
  painter.setFont(unitFont);
  const QRectF caption(0, top + numberMetrics.height(), circleDiameter, unitMetrics.height());
  if (!look.notSent) {
    //: Under the tempo on the button; Eos writes BPM.
    painter.drawText(caption, Qt::AlignCenter, tr("BPM"));
    return face;
  }
  // A warning label the operator cannot miss, readable on any accent.
  //: Under the tempo on the button: the console has not got it. Keep it short.
  const QString warning = tr("not sent");
  const double padding = unitMetrics.height() / 2.5;
  const double width = unitMetrics.horizontalAdvance(warning) + 2 * padding;
  const QRectF pill(radius - width / 2.0, caption.top(), width, caption.height());
  painter.setPen(Qt::NoPen);
  painter.setBrush(warningColor());
  painter.drawRoundedRect(pill, pill.height() / 2.0, pill.height() / 2.0);
  painter.setPen(warningTextColor());
  painter.drawText(pill, Qt::AlignCenter, warning);
  return face;
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

void PulsingTapButton::keyPressEvent(QKeyEvent* event) {
  if (!isTapKey(event->key())) {
    QWidget::keyPressEvent(event);
    return;
  }
  event->accept();
  // A held key (or a foot switch held down) taps once. Only the event's own flag tells a
  // repeat: a screen reader hands every key back with no time stamp at all.
  if (!event->isAutoRepeat()) press();
}

void PulsingTapButton::keyReleaseEvent(QKeyEvent* event) {
  if (!isTapKey(event->key())) {
    QWidget::keyReleaseEvent(event);
    return;
  }
  event->accept();
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
