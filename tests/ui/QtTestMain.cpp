// Runs the ui tests inside a QApplication, on the offscreen platform unless told otherwise
// (so that listing the tests at build time needs no display), in English whatever the desktop's
// language, from the build's own translations (English has its plural forms there).
#include <gtest/gtest.h>

#include <QApplication>

#include "ui/Translations.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const tempik::ui::Translations english(QLocale(QLocale::English), {TEMPIK_TRANSLATIONS});
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
