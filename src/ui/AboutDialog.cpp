#include "ui/AboutDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/Appearance.h"
#include "ui/BuildInfo.h"
#include "ui/Credits.h"
#include "ui/TintedLabel.h"

namespace tempik::ui {
namespace {

constexpr int iconSize = 64;
// Wide enough for the GPL lines to wrap into a short paragraph.
constexpr int licenceWidth = 340;

}  // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(tr("About tempik"));

  setWindowIcon(applicationIcon());
  auto* icon = new QLabel;
  icon->setPixmap(applicationIcon().pixmap(iconSize));
  icon->setAlignment(Qt::AlignHCenter);

  auto* name = new QLabel(QStringLiteral("tempik"));
  name->setFont(relativeFont(1.7, QFont::Bold));
  name->setAlignment(Qt::AlignHCenter);

  version_ = new QLabel(tr("Version %1").arg(QString::fromUtf8(applicationVersion)));
  version_->setFont(captionFont());
  version_->setAlignment(Qt::AlignHCenter);

  QColor (*dimmed)(const QPalette&) = secondaryColor;
  licence_ = new TintedLabel(licenceText(builtWithLink), dimmed);
  licence_->setFont(captionFont());
  licence_->setAlignment(Qt::AlignHCenter);
  licence_->setWordWrap(true);
  licence_->setFixedWidth(licenceWidth);

  credits_ = makeCreditsLabel();

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(32, 24, 32, 16);
  layout->setSpacing(8);
  layout->addWidget(icon);
  layout->addWidget(name);
  layout->addWidget(version_);
  layout->addWidget(licence_);
  layout->addSpacing(8);
  layout->addWidget(credits_);
  layout->addSpacing(8);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void AboutDialog::present() {
  show();
  raise();
  activateWindow();
}

QString AboutDialog::creditsText() const {
  return credits_->text();
}
QString AboutDialog::versionText() const {
  return version_->text();
}
QString AboutDialog::licenceText() const {
  return licence_->text();
}

QString AboutDialog::licenceText(bool withLink) {
  if (!withLink) return tr("Released under the MIT licence.");
  return tr(
      "tempik's own files are under the MIT licence. This build includes Ableton Link "
      "(GPL-2.0-or-later) and is distributed as a whole under the GNU GPL, version 2 or "
      "later.");
}

}  // namespace tempik::ui
