#include "ui/QtSettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>
#include <QVariant>

#include "ui/Logging.h"

namespace tempik::ui {
namespace {

QString toQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QtSettingsStore::QtSettingsStore() : QtSettingsStore(standardFilePath()) {}

QtSettingsStore::QtSettingsStore(const QString& filePath)
    : settings_(filePath, QSettings::IniFormat) {
  if (settings_.status() == QSettings::FormatError) {
    qCInfo(tempikUi) << "Settings file" << filePath
                     << "is damaged: what can be read is used, the rest has its defaults";
  }
}

QString QtSettingsStore::standardFilePath() {
  // Read afresh rather than through QSettings' own path cache, which keeps the first
  // location it saw for the whole process.
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         QStringLiteral("/tempik/tempik.conf");
}

QString QtSettingsStore::reasonText(const std::string& reason) {
  return QCoreApplication::translate("tempik::ui::QtSettingsStore", reason.c_str());
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

std::optional<core::SettingsError> QtSettingsStore::write(std::string_view key,
                                                          std::string_view value) {
  settings_.setValue(toQString(key), toQString(value));
  settings_.sync();
  if (settings_.status() != QSettings::AccessError) {
    reportedWriteFailure_ = false;
    return std::nullopt;
  }
  const QString folder = QDir::toNativeSeparators(QFileInfo(settings_.fileName()).absolutePath());
  const QFileInfo folderInfo(folder);
  // In English, as the log says it; reasonText() shows it in the operator's language.
  const char* reason =
      !folderInfo.exists()
          ? QT_TRANSLATE_NOOP("tempik::ui::QtSettingsStore", "the folder cannot be made")
      : !folderInfo.isWritable()
          ? QT_TRANSLATE_NOOP("tempik::ui::QtSettingsStore", "the folder is not writable")
          : QT_TRANSLATE_NOOP("tempik::ui::QtSettingsStore", "the file is not writable");
  if (!reportedWriteFailure_) {
    qCInfo(tempikUi).noquote() << "Settings not saved in" << folder << "-" << reason
                               << "(kept until tempik closes)";
    reportedWriteFailure_ = true;
  }
  return core::SettingsError{folder.toStdString(), reason};
}

}  // namespace tempik::ui
