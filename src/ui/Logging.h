#pragma once

#include <QLoggingCategory>
#include <string_view>

#include "core/Log.h"

// tempik's logging categories, quiet unless enabled, for example with
// QT_LOGGING_RULES="tempik.*=true": the console link (attempts, outcomes, drops), the tempo
// (what is sent, the console's error phrases, the Effect key presses) and the window
// (settings that cannot be read or saved).
Q_DECLARE_LOGGING_CATEGORY(tempikLink)
Q_DECLARE_LOGGING_CATEGORY(tempikTempo)
Q_DECLARE_LOGGING_CATEGORY(tempikMidi)
Q_DECLARE_LOGGING_CATEGORY(tempikUi)

namespace tempik::ui {

/// Writes the controller's lines to the category of their topic, at info level. Main thread.
class CategoryLog final : public core::Log {
 public:
  [[nodiscard]] bool isEnabled(core::LogTopic topic) const override;
  void write(core::LogTopic topic, std::string_view line) override;
};

}  // namespace tempik::ui
