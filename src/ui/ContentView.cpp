#include "ui/ContentView.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <string>
#include <utility>

#include "ui/Announcer.h"
#include "ui/Appearance.h"
#include "ui/Credits.h"
#include "ui/EosConnectionStatusView.h"
#include "ui/FormGroup.h"
#include "ui/Hints.h"
#include "ui/LinkFollowView.h"
#include "ui/MidiView.h"
#include "ui/MidiWords.h"
#include "ui/MultiplierButtons.h"
#include "ui/PulsingTapButton.h"
#include "ui/QtSettingsStore.h"
#include "ui/TapWindowDots.h"
#include "ui/TintedLabel.h"

namespace tempik::ui {
namespace {

constexpr int bottomPadding = 16;
constexpr int formInset = 20;
constexpr int groupSpacing = 12;
// The dots sit 20 pixels below the circle, inside the button's bottom margin.
constexpr int dotsTop = PulsingTapButton::margin + PulsingTapButton::circleDiameter + 20;

TintedLabel* makeHint(const QString& text) {
  QColor (*red)(const QPalette&) = alertColor;
  auto* hint = new TintedLabel(text, red);
  hint->setFont(captionFont());
  hint->setWordWrap(true);
  return hint;
}

std::optional<core::TempoMultiplier> multiplierKey(const QKeyEvent& key) {
  if (key.modifiers() & ~Qt::ShiftModifier) return std::nullopt;
  switch (key.key()) {
    case Qt::Key_H:
      return core::TempoMultiplier::half;
    case Qt::Key_N:
      return core::TempoMultiplier::normal;
    case Qt::Key_D:
      return core::TempoMultiplier::twice;
    default:
      return std::nullopt;
  }
}

bool handsFocusBack(const QKeyEvent& key) {
  return key.key() == Qt::Key_Escape || key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

void showText(QLineEdit& field, const std::string& value) {
  const QString text = QString::fromStdString(value);
  // The field already holds what the operator typed; only changes from elsewhere land here.
  if (field.text() != text) field.setText(text);
}

}  // namespace

ContentView::ContentView(std::shared_ptr<core::TempoController> controller,
                         std::shared_ptr<const core::WallClock> clock, QWidget* parent,
                         const QString& creditsLink)
    : QWidget(parent), controller_(std::move(controller)), clock_(std::move(clock)) {
  setFixedWidth(contentWidth);

  auto* tapArea = new QWidget(this);
  tapArea->setFixedSize(contentWidth, PulsingTapButton::side);
  tapButton_ = new PulsingTapButton(tapArea);
  tapButton_->move((contentWidth - PulsingTapButton::side) / 2, 0);
  tapDots_ = new TapWindowDots(tapArea);
  tapDots_->move((contentWidth - tapDots_->width()) / 2, dotsTop);
  tapButton_->setAction([this] { controller_->tap(clock_->now()); });

  //: The field for the console's address; Eos as the console is named.
  const QString hostLabel = tr("Eos Host IP");
  //: The field for the effects whose BPM tempik sets; keep it short.
  const QString effectLabel = tr("BPM FX");
  //: The field for the macro whose label shows the tempo; keep it short.
  const QString macroLabel = tr("BPM Macro");
  hostField_ = makeFormField(QStringLiteral("10.101.100.101"), hostLabel,
                             tr("The console's IP address or host name"));
  effectField_ = makeFormField(tr("e.g. 10 17 21 (or) 390-400"), effectLabel,
                               tr("The effects to set: a list of numbers or a range"));
  macroField_ =
      makeFormField(tr("e.g. 901"), macroLabel, tr("One macro whose label shows the tempo"));
  connectionStatus_ = new EosConnectionStatusView;
  announcer_ = new Announcer(tapArea);

  auto* consoleGroup = new FormGroup;
  consoleGroup->addFieldRow(hostLabel, hostField_);
  hostHint_ = makeHint({});
  hostHintRow_ = consoleGroup->addRow(hostHint_);
  consoleGroup->addRow(connectionStatus_);
  auto* effectGroup = new FormGroup;
  effectGroup->addFieldRow(effectLabel, effectField_);
  effectHintRow_ = effectGroup->addRow(makeHint(hintText(effectHintText)));
  effectGroup->addFieldRow(macroLabel, macroField_);
  macroHintRow_ = effectGroup->addRow(makeHint(hintText(macroHintText)));
  linkFollow_ = new LinkFollowView;
  linkFollow_->setAction([this](bool follow) { controller_->setFollowsLink(follow); });
  multiplierButtons_ = new MultiplierButtons;
  multiplierButtons_->setAction(
      [this](core::TempoMultiplier multiplier) { controller_->setTempoMultiplier(multiplier); });
  auto* timeGroup = new FormGroup;
  timeGroup->addRow(linkFollow_)->setHidden(!controller_->canFollowLink());
  //: Half, normal or double time for every tempo sent.
  timeGroup->addFieldRow(tr("Multiplier"), multiplierButtons_);
  midi_ = new MidiView;
  midi_->setActions({
      // Orca hears no change of a Qt combo box's item: the choice is announced.
      .choose =
          [this](core::MidiSources sources) {
            controller_->setMidiSources(std::move(sources));
            announcer_->announce(
                MidiWords::tr("MIDI input: %1").arg(midi_->sourcePicker().currentText()));
          },
      .learn =
          [this](bool learn) {
            cancelsLearning_ = !learn;
            controller_->learnMidiTap(learn);
            cancelsLearning_ = false;
          },
      .clear = [this] { controller_->setMidiTap(std::nullopt); },
      .followClock = [this](bool follow) { controller_->setFollowsMidiClock(follow); },
  });
  midi_->setHidden(!controller_->canUseMidi());

  auto* form = new QWidget;
  auto* formLayout = new QVBoxLayout(form);
  formLayout->setContentsMargins(formInset, 0, formInset, formInset);
  formLayout->setSpacing(groupSpacing);
  formLayout->addWidget(consoleGroup);
  formLayout->addWidget(effectGroup);
  formLayout->addWidget(timeGroup);
  formLayout->addWidget(midi_);
  settingsProblem_ = makeHint({});
  formLayout->addWidget(settingsProblem_);

  auto* stack = new QVBoxLayout(this);
  stack->setContentsMargins(0, 0, 0, bottomPadding);
  stack->setSpacing(0);
  stack->addWidget(tapArea, 0, Qt::AlignHCenter);
  stack->addWidget(form);
  credits_ = makeCreditsLabel(creditsLink);
  stack->addWidget(credits_);

  // The button owns the keyboard: a field, a switch, a time button or a MIDI control keeps it
  // only while the operator uses it, and the credits link is a stop only when there is a link.
  std::vector<QWidget*> stops = briefStops();
  for (QWidget* stop : stops) stop->installEventFilter(this);
  stops.push_back(credits_);
  stops.push_back(tapButton_);
  QWidget* last = hostField_;
  for (QWidget* next : stops) {
    if (next == last || next->focusPolicy() == Qt::NoFocus) continue;
    setTabOrder(last, next);
    last = next;
  }
  setTabOrder(tapButton_, hostField_);
  tapButton_->setFocus(Qt::OtherFocusReason);

  // Every edit, keystroke by keystroke, hands the field's whole text to the controller.
  connect(hostField_, &QLineEdit::textEdited, this,
          [this](const QString& text) { controller_->setEosIP(text.toStdString()); });
  connect(effectField_, &QLineEdit::textEdited, this,
          [this](const QString& text) { controller_->setBpmFX(text.toStdString()); });
  connect(macroField_, &QLineEdit::textEdited, this,
          [this](const QString& text) { controller_->setBpmMacro(text.toStdString()); });

  // A field (or switch) left alone gives the keyboard back, so a foot switch cannot type
  // into it.
  fieldIdle_.setSingleShot(true);
  fieldIdle_.setInterval(fieldIdleTime);
  connect(&fieldIdle_, &QTimer::timeout, this, [this] {
    if (holdsKeyboardBriefly(QApplication::focusWidget())) handKeyboardBack();
  });

  showAll();
  subscription_ =
      controller_->observe([this](core::ObservedProperty property) { showProperty(property); });
}

ContentView::~ContentView() = default;

bool ContentView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn || event->type() == QEvent::KeyPress) fieldIdle_.start();
  if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  const auto& key = *static_cast<QKeyEvent*>(event);
  // Every edit is already saved, so leaving the field keeps the text as typed.
  if (handsFocusBack(key)) {
    handKeyboardBack();
    return true;
  }
  // Before the MIDI picker can take the letter to jump to "None".
  const auto multiplier = multiplierKey(key);
  if (multiplier && !qobject_cast<QLineEdit*>(watched)) {
    controller_->setTempoMultiplier(*multiplier);
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

std::vector<QWidget*> ContentView::briefStops() const {
  std::vector<QWidget*> stops{hostField_,
                              effectField_,
                              macroField_,
                              &linkFollow_->followSwitch(),
                              &multiplierButtons_->button(core::TempoMultiplier::half),
                              &multiplierButtons_->button(core::TempoMultiplier::normal),
                              &multiplierButtons_->button(core::TempoMultiplier::twice)};
  for (QWidget* stop : midi_->keyboardStops()) stops.push_back(stop);
  return stops;
}

bool ContentView::holdsKeyboardBriefly(const QWidget* widget) const {
  const std::vector<QWidget*> stops = briefStops();
  return std::find(stops.begin(), stops.end(), widget) != stops.end();
}

// Every key no field or button took lands here.
void ContentView::keyPressEvent(QKeyEvent* event) {
  const auto multiplier = multiplierKey(*event);
  if (!multiplier) {
    QWidget::keyPressEvent(event);
    return;
  }
  event->accept();
  controller_->setTempoMultiplier(*multiplier);
}

void ContentView::handKeyboardBack() {
  fieldIdle_.stop();
  tapButton_->setFocus(Qt::OtherFocusReason);
}

void ContentView::mousePressEvent(QMouseEvent* event) {
  // A click beside the fields ends the edit too.
  fieldIdle_.stop();
  tapButton_->setFocus(Qt::MouseFocusReason);
  QWidget::mousePressEvent(event);
}

QSize ContentView::sizeHint() const {
  const QLayout* rows = layout();
  if (!rows || !rows->hasHeightForWidth()) return QWidget::sizeHint();
  return {contentWidth, rows->totalHeightForWidth(contentWidth)};
}

bool ContentView::isEffectHintShown() const {
  return !effectHintRow_->isHidden();
}
bool ContentView::isMacroHintShown() const {
  return !macroHintRow_->isHidden();
}
QString ContentView::hostHint() const {
  return hostHintRow_->isHidden() ? QString() : hostHint_->text();
}
QString ContentView::settingsProblemText() const {
  return settingsProblem_->isHidden() ? QString() : settingsProblem_->text();
}

void ContentView::showAll() {
  for (const auto property :
       {core::ObservedProperty::tempo, core::ObservedProperty::isConnected,
        core::ObservedProperty::eosIP, core::ObservedProperty::bpmFX,
        core::ObservedProperty::bpmMacro, core::ObservedProperty::connectionProblem,
        core::ObservedProperty::settingsProblem, core::ObservedProperty::followsLink,
        core::ObservedProperty::linkSession, core::ObservedProperty::tempoMultiplier,
        core::ObservedProperty::midiInput, core::ObservedProperty::midiTap,
        core::ObservedProperty::midiClock}) {
    showProperty(property);
  }
}

// The number and its mark; a screen reader hears a new tempo, and a change of its mark.
void ContentView::showTempo() {
  const auto bpm = controller_->bpm();
  const bool notSent = controller_->hasUnsentTempo();
  tapButton_->setBpm(bpm);
  tapButton_->setNotSent(notSent);
  if (bpm == shownBpm_ && notSent == shownNotSent_) return;
  const bool newTempo = bpm != shownBpm_;
  shownBpm_ = bpm;
  shownNotSent_ = notSent;
  if (!bpm) return;
  if (notSent) {
    announcer_->announce(tr("%1 BPM, not sent").arg(*bpm));
  } else {
    announcer_->announce((newTempo ? tr("%1 BPM") : tr("%1 BPM sent")).arg(*bpm));
  }
}

void ContentView::showProperty(core::ObservedProperty property) {
  switch (property) {
    case core::ObservedProperty::tempo: {
      const core::TapTempo& tempo = controller_->tempo();
      const auto& taps = tempo.taps();
      const std::optional<TimePoint> lastTap =
          taps.empty() ? std::nullopt : std::optional<TimePoint>(taps.back());
      // Without a tap (the tempo came from Link) the glow counts from the first tempo shown.
      if (!lastTap && controller_->bpm() && !firstTempoShown_) firstTempoShown_ = clock_->now();
      tapButton_->setLastTap(lastTap ? lastTap : firstTempoShown_);
      tapDots_->setTaps(static_cast<std::int64_t>(taps.size()), lastTap);
      showTempo();
      break;
    }
    case core::ObservedProperty::tempoSent:
      showTempo();
      break;
    case core::ObservedProperty::followsLink:
      linkFollow_->setFollowing(controller_->followsLink());
      break;
    case core::ObservedProperty::linkSession:
      linkFollow_->setSession(controller_->linkSessionState());
      break;
    case core::ObservedProperty::tempoMultiplier:
      multiplierButtons_->setMultiplier(controller_->tempoMultiplier());
      tapButton_->setMultiplier(controller_->tempoMultiplier());
      break;
    case core::ObservedProperty::isConnected:
      connectionStatus_->setConnected(controller_->isConnected());
      break;
    case core::ObservedProperty::connectionProblem:
      connectionStatus_->setProblem(controller_->connectionProblem());
      break;
    case core::ObservedProperty::eosIP: {
      showText(*hostField_, controller_->eosIP());
      const char* hint = hostHintText(core::hostAddressProblem(controller_->eosIP()));
      if (hint) hostHint_->replaceText(hintText(hint));
      hostHintRow_->setHidden(hint == nullptr);
      break;
    }
    case core::ObservedProperty::settingsProblem: {
      const auto& problem = controller_->settingsProblem();
      if (problem) {
        //: %1 is a folder, %2 why it cannot be written.
        settingsProblem_->replaceText(
            tr("Settings cannot be saved in %1 (%2): edits last until tempik closes.")
                .arg(QString::fromStdString(problem->location),
                     QtSettingsStore::reasonText(problem->reason)));
      }
      settingsProblem_->setHidden(!problem);
      break;
    }
    case core::ObservedProperty::bpmFX:
      showText(*effectField_, controller_->bpmFX());
      effectHintRow_->setHidden(!effectHintShown(controller_->bpmFX()));
      break;
    case core::ObservedProperty::bpmMacro:
      showText(*macroField_, controller_->bpmMacro());
      macroHintRow_->setHidden(
          !macroHintShown(controller_->bpmMacro(), controller_->macroNumber()));
      break;
    case core::ObservedProperty::midiInput:
      midi_->setSources(controller_->midiSources(), controller_->midiInputState());
      break;
    case core::ObservedProperty::midiTap:
      showMidiTap();
      break;
    case core::ObservedProperty::followsMidiClock:
    case core::ObservedProperty::midiClock:
      midi_->setClock(controller_->midiClockState());
      break;
  }
}

// Learn starts, and ends by a note or a cancel, far from where the focus is: a screen reader
// hears each.
void ContentView::showMidiTap() {
  const bool wasLearning = midi_->isLearning();
  const bool learning = controller_->learnsMidiTap();
  const auto trigger = controller_->midiTap();
  midi_->setTap(trigger, learning);
  if (learning == wasLearning) return;
  const QString tap = (learning ? MidiWords::learning() : MidiWords::trigger(trigger)).spoken;
  announcer_->announce((learning || cancelsLearning_ ? MidiWords::tr("MIDI tap: %1")
                                                     : MidiWords::tr("MIDI tap learned: %1"))
                           .arg(tap));
}

}  // namespace tempik::ui
