#pragma once

#include <QSettings>
#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "core/SettingsStore.h"

namespace tempik::ui {

/// The operator's settings in an INI file, by default
/// $XDG_CONFIG_HOME/tempik/tempik.conf (~/.config/tempik/tempik.conf).
///
/// The file may have been edited by hand: a value QSettings reads as a list (bpmFX=1,2
/// without quotes) comes back as the text "1,2", a number as its digits. A file or folder
/// that cannot be written keeps every value in memory for the rest of the run; each write
/// says so, and the log (tempik.ui) tells why, as it tells of a file that cannot be read.
/// Used on the main thread only.
class QtSettingsStore final : public core::SettingsStore {
 public:
  /// The store at the user's standard location.
  QtSettingsStore();
  /// The store in the given INI file.
  explicit QtSettingsStore(const QString& filePath);

  /// Where the user's settings live, following $XDG_CONFIG_HOME as it is now.
  [[nodiscard]] static QString standardFilePath();
  /// Why a write failed (a SettingsError's reason, in English), in the operator's language.
  [[nodiscard]] static QString reasonText(const std::string& reason);

  [[nodiscard]] std::optional<std::string> read(std::string_view key) const override;
  /// Stores the text and writes the file at once, so that a crash loses no edit.
  std::optional<core::SettingsError> write(std::string_view key, std::string_view value) override;

 private:
  mutable QSettings settings_;
  bool reportedWriteFailure_ = false;
};

}  // namespace tempik::ui
