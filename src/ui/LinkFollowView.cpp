#include "ui/LinkFollowView.h"

#include <QCheckBox>
#include <QStyle>
#include <QVBoxLayout>
#include <utility>

#include "ui/Appearance.h"
#include "ui/TintedLabel.h"

namespace tempik::ui {

LinkFollowView::LinkFollowView(QWidget* parent) : QWidget(parent) {
  switch_ = new QCheckBox(tr("Follow Ableton Link"));
  // A click leaves the keyboard on the tap button: a foot switch's Space must tap, not
  // leave the session.
  switch_->setFocusPolicy(Qt::TabFocus);
  connect(switch_, &QCheckBox::clicked, this, [this](bool checked) {
    if (action_) action_(checked);
  });
  QColor (*dimmed)(const QPalette&) = secondaryColor;
  status_ = new TintedLabel(QString(), dimmed);
  status_->setFont(captionFont());
  // The status lines up with the switch's text, not its box.
  const QStyle* style = switch_->style();
  status_->setIndent(style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, switch_) +
                     style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, switch_));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addWidget(switch_);
  layout->addWidget(status_);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  showStatus();
}

void LinkFollowView::setFollowing(bool following) {
  switch_->setChecked(following);
  showStatus();
}

void LinkFollowView::setSession(const std::optional<core::TempoSessionState>& session) {
  session_ = session;
  showStatus();
}

void LinkFollowView::setAction(std::function<void(bool)> action) {
  action_ = std::move(action);
}

QString LinkFollowView::statusText() const {
  return status_->isHidden() ? QString() : status_->text();
}

QString LinkFollowView::spokenStatus() const {
  return switch_->isChecked() ? status_->accessibleName() : QString();
}

void LinkFollowView::showStatus() {
  // Shown in the window, then as a screen reader says it.
  QString shown;
  QString spoken;
  if (!session_) {
    shown = tr("Link · joining…");
    spoken = tr("Link: joining");
  } else if (session_->peers == 0) {
    shown = tr("Link · no peers");
    spoken = tr("Link: no peers");
  } else {
    const QString tempo = QString::number(session_->tempo, 'f', 2);
    const int peers = static_cast<int>(session_->peers);
    //: %n peers in the session, %1 its tempo in BPM.
    shown = tr("Link · %n peer(s) · %1", nullptr, peers).arg(tempo);
    spoken = tr("Link: %n peer(s), %1 BPM", nullptr, peers).arg(tempo);
  }
  const bool following = switch_->isChecked();
  status_->replaceText(shown);
  status_->setAccessibleName(spoken);
  status_->setHidden(!following);
  // Heard with the switch, so the state comes with it.
  switch_->setAccessibleDescription(following ? spoken : QString());
}

}  // namespace tempik::ui
