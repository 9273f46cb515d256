#include "ui/ContentView.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <string>
#include <utility>

#include "ui/Appearance.h"
#include "ui/Credits.h"
#include "ui/EosConnectionStatusView.h"
#include "ui/FormGroup.h"
#include "ui/Hints.h"
#include "ui/PulsingTapButton.h"
#include "ui/TapWindowDots.h"

namespace tempik::ui {
namespace {

constexpr int bottomPadding = 16;
constexpr int formInset = 20;
constexpr int groupSpacing = 12;
// The dots sit 20 pixels below the circle, inside the button's bottom margin.
constexpr int dotsTop = PulsingTapButton::margin + PulsingTapButton::circleDiameter + 20;

QLabel* makeHint(const char* text) {
  auto* hint = new QLabel(QString::fromUtf8(text));
  hint->setFont(captionFont());
  hint->setWordWrap(true);
  QPalette colours = hint->palette();
  colours.setColor(QPalette::WindowText, alertColor());
  hint->setPalette(colours);
  return hint;
}

QLabel* makeCredits() {
  auto* credits = new QLabel(creditsRichText());
  credits->setFont(secondCaptionFont());
  credits->setAlignment(Qt::AlignHCenter);
  credits->setTextFormat(Qt::RichText);
  credits->setOpenExternalLinks(true);
  credits->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  QPalette colours = credits->palette();
  colours.setColor(QPalette::WindowText, secondaryColor(*credits));
  credits->setPalette(colours);
  return credits;
}

void showText(QLineEdit& field, const std::string& value) {
  const QString text = QString::fromStdString(value);
  // The field already holds what the operator typed; only changes from elsewhere land here.
  if (field.text() != text) field.setText(text);
}

}  // namespace

ContentView::ContentView(std::shared_ptr<core::TempoController> controller,
                         std::shared_ptr<const core::WallClock> clock, QWidget* parent)
    : QWidget(parent), controller_(std::move(controller)), clock_(std::move(clock)) {
  setFixedWidth(contentWidth);

  auto* tapArea = new QWidget(this);
  tapArea->setFixedSize(contentWidth, PulsingTapButton::side);
  tapButton_ = new PulsingTapButton(tapArea);
  tapButton_->move((contentWidth - PulsingTapButton::side) / 2, 0);
  tapDots_ = new TapWindowDots(tapArea);
  tapDots_->move((contentWidth - tapDots_->width()) / 2, dotsTop);
  tapButton_->setAction([this] { controller_->tap(clock_->now()); });

  hostField_ = makeFormField(QStringLiteral("10.101.100.101"), QStringLiteral("Eos Host IP"));
  effectField_ =
      makeFormField(QStringLiteral("e.g. 10 17 21 (or) 390-400"), QStringLiteral("BPM FX"));
  macroField_ = makeFormField(QStringLiteral("e.g. 901"), QStringLiteral("BPM Macro"));
  connectionStatus_ = new EosConnectionStatusView;

  auto* consoleGroup = new FormGroup;
  consoleGroup->addFieldRow(QStringLiteral("Eos Host IP"), hostField_);
  consoleGroup->addRow(connectionStatus_);
  auto* effectGroup = new FormGroup;
  effectGroup->addFieldRow(QStringLiteral("BPM FX"), effectField_);
  effectHintRow_ = effectGroup->addRow(makeHint(effectHintText));
  effectGroup->addFieldRow(QStringLiteral("BPM Macro"), macroField_);
  macroHintRow_ = effectGroup->addRow(makeHint(macroHintText));

  auto* form = new QWidget;
  auto* formLayout = new QVBoxLayout(form);
  formLayout->setContentsMargins(formInset, 0, formInset, formInset);
  formLayout->setSpacing(groupSpacing);
  formLayout->addWidget(consoleGroup);
  formLayout->addWidget(effectGroup);

  auto* stack = new QVBoxLayout(this);
  stack->setContentsMargins(0, 0, 0, bottomPadding);
  stack->setSpacing(0);
  stack->addWidget(tapArea, 0, Qt::AlignHCenter);
  stack->addWidget(form);
  stack->addWidget(makeCredits());

  // Every edit, keystroke by keystroke, hands the field's whole text to the controller.
  connect(hostField_, &QLineEdit::textEdited, this,
          [this](const QString& text) { controller_->setEosIP(text.toStdString()); });
  connect(effectField_, &QLineEdit::textEdited, this,
          [this](const QString& text) { controller_->setBpmFX(text.toStdString()); });
  connect(macroField_, &QLineEdit::textEdited, this,
          [this](const QString& text) { controller_->setBpmMacro(text.toStdString()); });

  showAll();
  subscription_ =
      controller_->observe([this](core::ObservedProperty property) { showProperty(property); });
}

ContentView::~ContentView() = default;

bool ContentView::isEffectHintShown() const {
  return !effectHintRow_->isHidden();
}
bool ContentView::isMacroHintShown() const {
  return !macroHintRow_->isHidden();
}

void ContentView::showAll() {
  for (const auto property : {core::ObservedProperty::tempo, core::ObservedProperty::isConnected,
                              core::ObservedProperty::eosIP, core::ObservedProperty::bpmFX,
                              core::ObservedProperty::bpmMacro}) {
    showProperty(property);
  }
}

void ContentView::showProperty(core::ObservedProperty property) {
  switch (property) {
    case core::ObservedProperty::tempo: {
      const core::TapTempo& tempo = controller_->tempo();
      const auto& taps = tempo.taps();
      const std::optional<TimePoint> lastTap =
          taps.empty() ? std::nullopt : std::optional<TimePoint>(taps.back());
      tapButton_->setBpm(tempo.bpm());
      tapButton_->setLastTap(lastTap);
      tapDots_->setTaps(static_cast<std::int64_t>(taps.size()), lastTap);
      break;
    }
    case core::ObservedProperty::isConnected:
      connectionStatus_->setConnected(controller_->isConnected());
      break;
    case core::ObservedProperty::eosIP:
      showText(*hostField_, controller_->eosIP());
      break;
    case core::ObservedProperty::bpmFX:
      showText(*effectField_, controller_->bpmFX());
      effectHintRow_->setHidden(!effectHintShown(controller_->bpmFX()));
      break;
    case core::ObservedProperty::bpmMacro:
      showText(*macroField_, controller_->bpmMacro());
      macroHintRow_->setHidden(
          !macroHintShown(controller_->bpmMacro(), controller_->macroNumber()));
      break;
  }
}

}  // namespace tempik::ui
