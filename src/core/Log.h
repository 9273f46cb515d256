#pragma once

#include <string_view>

namespace tempik::core {

/// What a log line is about: the console link (attempts, their outcomes, drops) or the tempo
/// (what is sent, the console's error phrases, the Effect key presses).
enum class LogTopic { link, tempo, midi };

/// Where the controller writes what it does and why, one line at a time. The application
/// routes it to its logging categories; quiet unless the operator asks for it. Called on the
/// controller's executor.
class Log {
 public:
  virtual ~Log() = default;
  /// Whether lines of the topic are wanted at all.
  [[nodiscard]] virtual bool isEnabled(LogTopic topic) const = 0;
  virtual void write(LogTopic topic, std::string_view line) = 0;
};

}  // namespace tempik::core
