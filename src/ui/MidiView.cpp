#include "ui/MidiView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <utility>

#include "ui/Appearance.h"
#include "ui/FormGroup.h"
#include "ui/MidiWords.h"
#include "ui/TintedLabel.h"

namespace tempik::ui {
namespace {

// A wheel turned over the picker while the window scrolls must scroll on, not pick.
class SourcePicker final : public QComboBox {
 protected:
  void wheelEvent(QWheelEvent* event) override { event->ignore(); }
};

TintedLabel* makeStatus() {
  QColor (*dimmed)(const QPalette&) = secondaryColor;
  auto* status = new TintedLabel(QString(), dimmed);
  status->setFont(captionFont());
  status->setWordWrap(true);
  return status;
}

// A click leaves the keyboard on the tap button: a foot switch's Space must tap, not learn,
// clear or switch.
template <class Button>
Button* makeButton(const QString& text) {
  auto* button = new Button;
  button->setText(text);
  button->setFocusPolicy(Qt::TabFocus);
  return button;
}

}  // namespace

MidiView::MidiView(QWidget* parent) : QWidget(parent) {
  picker_ = new SourcePicker;
  picker_->setFocusPolicy(Qt::TabFocus);
  picker_->setAccessibleName(tr("MIDI input"));
  // Long source names are cut, not allowed to push the form wider.
  picker_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  picker_->setMinimumContentsLength(8);
  connect(picker_, &QComboBox::activated, this, [this](int index) {
    if (actions_.choose && index >= 0)
      actions_.choose(choices_.at(static_cast<std::size_t>(index)));
  });
  status_ = makeStatus();

  tap_ = new QLabel;
  tap_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  //: Button: the next MIDI note or controller that arrives becomes the tap.
  learn_ = makeButton<QToolButton>(tr("Learn"));
  connect(learn_, &QAbstractButton::clicked, this, [this] {
    if (actions_.learn) actions_.learn(!learning_);
  });
  //: Button: forget the MIDI tap.
  clear_ = makeButton<QToolButton>(tr("Clear"));
  clear_->setAccessibleName(tr("Clear the MIDI tap"));
  connect(clear_, &QAbstractButton::clicked, this, [this] {
    if (actions_.clear) actions_.clear();
  });
  auto* tapRow = new QWidget;
  auto* tapLayout = new QHBoxLayout(tapRow);
  tapLayout->setContentsMargins(0, 0, 0, 0);
  tapLayout->setSpacing(6);
  tapLayout->addWidget(tap_, 1);
  tapLayout->addWidget(learn_);
  tapLayout->addWidget(clear_);

  clockSwitch_ = makeButton<QCheckBox>(tr("Follow MIDI clock"));
  connect(clockSwitch_, &QCheckBox::clicked, this, [this](bool checked) {
    if (actions_.followClock) actions_.followClock(checked);
  });
  clock_ = makeStatus();
  // The clock's line lines up with the switch's text, not its box.
  const QStyle* style = clockSwitch_->style();
  clock_->setIndent(style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, clockSwitch_) +
                    style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, clockSwitch_));
  auto* clockBox = new QWidget;
  auto* clockLayout = new QVBoxLayout(clockBox);
  clockLayout->setContentsMargins(0, 0, 0, 0);
  clockLayout->setSpacing(2);
  clockLayout->addWidget(clockSwitch_);
  clockLayout->addWidget(clock_);

  auto* group = new FormGroup;
  group->addFieldRow(tr("MIDI Input"), picker_);
  group->addRow(status_);
  group->addFieldRow(tr("MIDI Tap"), tapRow);
  group->addRow(clockBox);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(group);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

  setSources({}, std::nullopt);
  setTap(std::nullopt, false);
  setClock(std::nullopt);
}

void MidiView::setActions(Actions actions) {
  actions_ = std::move(actions);
}

void MidiView::setSources(const core::MidiSources& chosen,
                          const std::optional<core::MidiInputState>& state) {
  using Kind = core::MidiSources::Kind;
  std::vector<core::MidiSources> choices{{Kind::all, {}}, {Kind::none, {}}};
  //: The MIDI sources tempik connects to: every one there is, or none.
  QStringList items{tr("All"), tr("None")};
  const std::vector<std::string> present = state ? state->sources : std::vector<std::string>{};
  for (const auto& name : present) {
    choices.push_back({Kind::named, name});
    items << QString::fromStdString(name);
  }
  if (chosen.kind == Kind::named &&
      std::find(present.begin(), present.end(), chosen.name) == present.end()) {
    choices.push_back(chosen);
    const QString name = QString::fromStdString(chosen.name);
    // Before the first report nothing is known to be missing.
    items << (state ? MidiWords::absentSource(name) : name);
  }
  // Rebuilt only when the list changed, so an open list is left alone by other reports.
  QStringList shown;
  for (int i = 0; i < picker_->count(); ++i) shown << picker_->itemText(i);
  if (shown != items) {
    picker_->clear();
    picker_->addItems(items);
  }
  choices_ = std::move(choices);
  const auto chosenAt = std::find(choices_.begin(), choices_.end(), chosen) - choices_.begin();
  picker_->setCurrentIndex(static_cast<int>(chosenAt));

  const MidiWords::Text words = MidiWords::input(state);
  status_->replaceText(words.shown);
  status_->setAccessibleName(words.spoken);
  // Orca reads a Qt combo box by its label alone, without the item chosen: the description
  // carries it.
  picker_->setAccessibleDescription(tr("%1 chosen. %2").arg(picker_->currentText(), words.spoken));
}

void MidiView::setTap(const std::optional<core::MidiTrigger>& trigger, bool learning) {
  learning_ = learning;
  const MidiWords::Text words = learning ? MidiWords::learning() : MidiWords::trigger(trigger);
  tap_->setText(words.shown);
  const QString spoken = tr("MIDI tap: %1").arg(words.spoken);
  tap_->setAccessibleName(spoken);
  //: Button: stop waiting for a MIDI note or controller to learn.
  learn_->setText(learning ? tr("Cancel") : tr("Learn"));
  learn_->setAccessibleName(learning ? tr("Cancel learning") : tr("Learn the MIDI tap"));
  learn_->setAccessibleDescription(spoken);
  const bool clearable = trigger && !learning;
  // Hidden with the keyboard on it, Clear hands the keyboard to its neighbour, not onwards.
  if (!clearable && clear_->hasFocus()) learn_->setFocus(Qt::OtherFocusReason);
  clear_->setHidden(!clearable);
}

void MidiView::setClock(const std::optional<core::MidiClockState>& clock) {
  clockSwitch_->setChecked(clock.has_value());
  const MidiWords::Text words = clock ? MidiWords::clock(*clock) : MidiWords::Text{};
  clock_->replaceText(words.shown);
  clock_->setAccessibleName(words.spoken);
  clock_->setHidden(!clock);
  clockSwitch_->setAccessibleDescription(words.spoken);
}

std::array<QWidget*, 4> MidiView::keyboardStops() const {
  return {picker_, learn_, clear_, clockSwitch_};
}

QString MidiView::statusText() const {
  return status_->text();
}
QString MidiView::spokenStatus() const {
  return status_->accessibleName();
}
QString MidiView::tapText() const {
  return tap_->text();
}
QString MidiView::spokenTap() const {
  return tap_->accessibleName();
}
QString MidiView::clockText() const {
  return clock_->isHidden() ? QString() : clock_->text();
}
QString MidiView::spokenClock() const {
  return clock_->isHidden() ? QString() : clock_->accessibleName();
}

}  // namespace tempik::ui
