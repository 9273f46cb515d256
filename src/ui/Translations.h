#pragma once

#include <QLocale>
#include <QStringList>
#include <QTranslator>

namespace tempik::ui {

/// tempik's words in the operator's language, with Qt's own (dialog buttons, a field's context
/// menu) in the same one: the first of the locale's UI languages that tempik has a translation
/// for (for the system locale, those of `LANGUAGE=de:fr`, or else the desktop's language), or
/// English when it has none of them. English has a file of its own too, for its plural forms
/// ("1 peer", "2 peers").
///
/// Installs its translators into the application while it lives; make it before the window
/// and keep it for the run. Main thread only.
class Translations {
 public:
  /// Looks for tempik_<language>.qm in each folder in turn, and for Qt's in Qt's own folder.
  Translations(const QLocale& locale, const QStringList& folders);
  ~Translations();

  Translations(const Translations&) = delete;
  Translations& operator=(const Translations&) = delete;

  /// Where tempik's translations are: beside the program in a build, under the data folder once
  /// installed.
  [[nodiscard]] static QStringList standardFolders();

 private:
  QTranslator own_;
  QTranslator qt_;
};

}  // namespace tempik::ui
