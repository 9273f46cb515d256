#include "ui/Credits.h"

#include <QUrl>

#include "ui/BuildInfo.h"

namespace tempik::ui {

QString creditsUrl() {
  return QString::fromUtf8(websiteUrl);
}

QString creditsRichText() {
  const QUrl url(creditsUrl());
  const QString siteName = url.host() + url.path();
  return QStringLiteral("Made by the tempik developers<br><a href=\"%1\">%2</a>")
      .arg(url.toString(QUrl::FullyEncoded).toHtmlEscaped(), siteName.toHtmlEscaped());
}

}  // namespace tempik::ui
