#include "ui/AboutDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/Appearance.h"
#include "ui/BuildInfo.h"
#include "ui/Credits.h"

namespace tempik::ui {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("About tempik"));

  auto* name = new QLabel(QStringLiteral("tempik"));
  name->setFont(systemFont(22, QFont::Bold));
  name->setAlignment(Qt::AlignHCenter);

  version_ = new QLabel(QStringLiteral("Version %1").arg(QString::fromUtf8(applicationVersion)));
  version_->setFont(captionFont());
  version_->setAlignment(Qt::AlignHCenter);

  credits_ = new QLabel;
  credits_->setFont(secondCaptionFont());
  credits_->setAlignment(Qt::AlignHCenter);
  credits_->setTextFormat(Qt::RichText);
  credits_->setOpenExternalLinks(true);
  credits_->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  QPalette colours = credits_->palette();
  colours.setColor(QPalette::WindowText, secondaryColor(*credits_));
  credits_->setPalette(colours);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(32, 24, 32, 16);
  layout->setSpacing(8);
  layout->addWidget(name);
  layout->addWidget(version_);
  layout->addSpacing(8);
  layout->addWidget(credits_);
  layout->addSpacing(8);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void AboutDialog::present() {
  credits_->setText(creditsRichText());
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

}  // namespace tempik::ui
