#include "ui/QtSettingsStore.h"

#include <QStandardPaths>
#include <QStringList>
#include <QVariant>

namespace tempik::ui {
namespace {

QString toQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QtSettingsStore::QtSettingsStore() : QtSettingsStore(standardFilePath()) {}

QtSettingsStore::QtSettingsStore(const QString& filePath)
    : settings_(filePath, QSettings::IniFormat) {}

QString QtSettingsStore::standardFilePath() {
  // Read afresh rather than through QSettings' own path cache, which keeps the first
  // location it saw for the whole process.
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         QStringLiteral("/tempik/tempik.conf");
}

std::optional<std::string> QtSettingsStore::read(std::string_view key) const {
  const QVariant value = settings_.value(toQString(key));
  if (!value.isValid()) return std::nullopt;
  // An unquoted comma makes QSettings split the text; put it back together.
  if (value.typeId() == QMetaType::QStringList) {
    return value.toStringList().join(QLatin1Char(',')).toStdString();
  }
  // Anything with no text form (a @Rect(...), say) counts as missing.
  if (!value.canConvert<QString>()) return std::nullopt;
  return value.toString().toStdString();
}

void QtSettingsStore::write(std::string_view key, std::string_view value) {
  settings_.setValue(toQString(key), toQString(value));
  settings_.sync();
}

bool QtSettingsStore::isPersisted() const {
  return settings_.status() == QSettings::NoError;
}

}  // namespace tempik::ui
