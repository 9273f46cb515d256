#include "ui/Logging.h"

#include <QString>

// Info and debug are off unless the rules turn them on; warnings are never used, so a
// default run prints nothing.
Q_LOGGING_CATEGORY(tempikLink, "tempik.link", QtWarningMsg)
Q_LOGGING_CATEGORY(tempikTempo, "tempik.tempo", QtWarningMsg)
Q_LOGGING_CATEGORY(tempikUi, "tempik.ui", QtWarningMsg)

namespace tempik::ui {

bool CategoryLog::isEnabled(core::LogTopic topic) const {
  return (topic == core::LogTopic::link ? tempikLink() : tempikTempo()).isInfoEnabled();
}

void CategoryLog::write(core::LogTopic topic, std::string_view line) {
  const QString text = QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
  switch (topic) {
    case core::LogTopic::link:
      qCInfo(tempikLink).noquote() << text;
      break;
    case core::LogTopic::tempo:
      qCInfo(tempikTempo).noquote() << text;
      break;
  }
}

}  // namespace tempik::ui
