#include "ui/Credits.h"

#include <QCoreApplication>
#include <QUrl>

#include "ui/Appearance.h"
#include "ui/BuildInfo.h"
#include "ui/TintedLabel.h"

namespace tempik::ui {

QString creditsUrl() {
  return QString::fromUtf8(websiteUrl);
}

QString creditsRichText(const QString& url, const QColor& linkColour) {
  QString text =
      QCoreApplication::translate("tempik::ui::Credits", "Made by the tempik developers");
  if (url.isEmpty()) return text;
  const QUrl address(url);
  const QString siteName = address.host() + address.path();
  return text + QStringLiteral("<br><a href=\"%1\" style=\"color: %2\">%3</a>")
                    .arg(address.toString(QUrl::FullyEncoded).toHtmlEscaped(), linkColour.name(),
                         siteName.toHtmlEscaped());
}

TintedLabel* makeCreditsLabel(const QString& url) {
  QColor (*dimmed)(const QPalette&) = secondaryColor;
  auto* credits = new TintedLabel(
      [url](const QColor& linkColour) { return creditsRichText(url, linkColour); }, dimmed);
  credits->setFont(secondCaptionFont());
  credits->setAlignment(Qt::AlignHCenter);
  credits->setTextFormat(Qt::RichText);
  if (url.isEmpty()) {
    credits->setTextInteractionFlags(Qt::NoTextInteraction);
    credits->setFocusPolicy(Qt::NoFocus);
  } else {
    credits->setOpenExternalLinks(true);
    credits->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  }
  return credits;
}

}  // namespace tempik::ui
