#include "ui/MultiplierButtons.h"

#include <QButtonGroup>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QToolButton>
#include <utility>

#include "ui/Appearance.h"

namespace tempik::ui {
namespace {

using core::TempoMultiplier;

struct Choice {
  TempoMultiplier multiplier;
  const char* label;
  const char* name;
};
constexpr std::array<Choice, 3> choices{{
    {TempoMultiplier::half, "×½", QT_TRANSLATE_NOOP("tempik::ui::MultiplierButtons", "Half time")},
    {TempoMultiplier::normal, "×1",
     QT_TRANSLATE_NOOP("tempik::ui::MultiplierButtons", "Normal time")},
    {TempoMultiplier::twice, "×2",
     QT_TRANSLATE_NOOP("tempik::ui::MultiplierButtons", "Double time")},
}};

// The style shades the chosen button only lightly; in the accent, and bold, it tells across a
// dark booth.
void showChosen(QToolButton& button, bool chosen) {
  QFont font = button.font();
  font.setBold(chosen);
  button.setFont(font);
  if (!chosen) {
    button.setPalette(QPalette());  // the window's again, following light and dark
    return;
  }
  QPalette colours = button.palette();
  colours.setColor(QPalette::Button, accentColor(button));
  colours.setColor(QPalette::ButtonText, Qt::white);
  button.setPalette(colours);
}

}  // namespace

MultiplierButtons::MultiplierButtons(QWidget* parent) : QWidget(parent) {
  group_ = new QButtonGroup(this);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addStretch(1);  // the buttons sit at the row's trailing edge, as the fields' text does
  for (std::size_t i = 0; i < choices.size(); ++i) {
    auto* button = new QToolButton;
    button->setText(QString::fromUtf8(choices[i].label));
    button->setAccessibleName(tr(choices[i].name));
    button->setCheckable(true);
    button->setMinimumWidth(36);
    // A click leaves the keyboard on the tap button: Space there must tap, not switch.
    button->setFocusPolicy(Qt::TabFocus);
    connect(button, &QToolButton::toggled, button,
            [button](bool checked) { showChosen(*button, checked); });
    button->installEventFilter(this);
    group_->addButton(button, static_cast<int>(i));
    layout->addWidget(button);
    buttons_[i] = button;
  }
  group_->setExclusive(true);
  connect(group_, &QButtonGroup::idClicked, this, [this](int id) {
    if (action_) action_(choices.at(static_cast<std::size_t>(id)).multiplier);
  });
  setMultiplier(TempoMultiplier::normal);
}

void MultiplierButtons::setMultiplier(TempoMultiplier multiplier) {
  button(multiplier).setChecked(true);
}

void MultiplierButtons::setAction(std::function<void(TempoMultiplier)> action) {
  action_ = std::move(action);
}

bool MultiplierButtons::eventFilter(QObject* watched, QEvent* event) {
  // Qt lets Tab land on the group's first button; the chosen one is where the arrows start.
  if (event->type() == QEvent::FocusIn) {
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    QAbstractButton* chosen = group_->checkedButton();
    if ((reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) && chosen &&
        chosen != watched) {
      chosen->setFocus(reason);
    }
  }
  return QWidget::eventFilter(watched, event);
}

QAbstractButton& MultiplierButtons::button(TempoMultiplier multiplier) const {
  for (std::size_t i = 0; i < choices.size(); ++i) {
    if (choices[i].multiplier == multiplier) return *buttons_[i];
  }
  return *buttons_[1];
}

}  // namespace tempik::ui
