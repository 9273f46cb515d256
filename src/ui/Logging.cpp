#include "ui/Logging.h"

#include <QString>

// Info and debug are off unless the rules turn them on; warnings are never used, so a
// default run prints nothing.
Q_LOGGING_CATEGORY(tempikLink, "tempik.link", QtWarningMsg)
Q_LOGGING_CATEGORY(tempikTempo, "tempik.tempo", QtWarningMsg)
Q_LOGGING_CATEGORY(tempikMidi, "tempik.midi", QtWarningMsg)
Q_LOGGING_CATEGORY(tempikUi, "tempik.ui", QtWarningMsg)

namespace tempik::ui {

namespace {
const QLoggingCategory& categoryOf(core::LogTopic topic) {
  switch (topic) {
    case core::LogTopic::link:
      return tempikLink();
    case core::LogTopic::midi:
      return tempikMidi();
    case core::LogTopic::tempo:
      break;
  }
  return tempikTempo();
}
}  // namespace

bool CategoryLog::isEnabled(core::LogTopic topic) const {
  return categoryOf(topic).isInfoEnabled();
}

void CategoryLog::write(core::LogTopic topic, std::string_view line) {
  const QString text = QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
  const QLoggingCategory& category = categoryOf(topic);
  if (category.isInfoEnabled()) QMessageLogger().info(category).noquote() << text;
}

}  // namespace tempik::ui
