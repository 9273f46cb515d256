#include "ui/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>

#include "ui/BuildInfo.h"

namespace tempik::ui {

Translations::Translations(const QLocale& locale, const QStringList& folders) {
  const QString own = QStringLiteral("tempik");
  const QString separator = QStringLiteral("_");
  for (const QString& folder : folders) {
    if (own_.load(locale, own, separator, folder)) break;
  }
  // None of the operator's languages: English, which still needs its plural forms.
  for (const QString& folder : folders) {
    if (own_.isEmpty() && own_.load(own + separator + QStringLiteral("en"), folder)) break;
  }
  if (!own_.isEmpty()) QCoreApplication::installTranslator(&own_);
  // Qt's words in the language tempik speaks, not in another one the operator also reads.
  const QLocale spoken = own_.isEmpty() ? locale : QLocale(own_.language());
  if (qt_.load(spoken, QStringLiteral("qtbase"), separator,
               QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(&qt_);
  }
}

Translations::~Translations() {
  QCoreApplication::removeTranslator(&qt_);
  QCoreApplication::removeTranslator(&own_);
}

QStringList Translations::standardFolders() {
  const QDir program(QCoreApplication::applicationDirPath());
  return {program.filePath(QStringLiteral("translations")),
          QDir::cleanPath(program.filePath(QString::fromUtf8(translationsFromProgram)))};
}

}  // namespace tempik::ui
