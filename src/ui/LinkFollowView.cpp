#include "ui/LinkFollowView.h"

#include <QCheckBox>
#include <QStyle>
#include <QVBoxLayout>
#include <utility>

#include "ui/Appearance.h"
#include "ui/TintedLabel.h"

namespace tempik::ui {
namespace {

QString peersText(std::size_t peers) {
  return peers == 1 ? QStringLiteral("1 peer") : QStringLiteral("%1 peers").arg(peers);
}

}  // namespace

LinkFollowView::LinkFollowView(QWidget* parent) : QWidget(parent) {
  switch_ = new QCheckBox(QStringLiteral("Follow Ableton Link"));
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
  const QString dot = QStringLiteral(" · ");
  QString shown = QStringLiteral("Link") + dot;
  QString spoken = QStringLiteral("Link: ");
  if (!session_) {
    shown += QStringLiteral("joining…");
    spoken += QStringLiteral("joining");
  } else if (session_->peers == 0) {
    shown += QStringLiteral("no peers");
    spoken += QStringLiteral("no peers");
  } else {
    const QString tempo = QString::number(session_->tempo, 'f', 2);
    shown += peersText(session_->peers) + dot + tempo;
    spoken += peersText(session_->peers) + QStringLiteral(", ") + tempo + QStringLiteral(" BPM");
  }
  const bool following = switch_->isChecked();
  status_->replaceText(shown);
  status_->setAccessibleName(spoken);
  status_->setHidden(!following);
  // Heard with the switch, so the state comes with it.
  switch_->setAccessibleDescription(following ? spoken : QString());
}

}  // namespace tempik::ui
