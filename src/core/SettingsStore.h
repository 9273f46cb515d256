#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tempik::core {

/// The per-user key-value store that keeps the operator's settings between runs.
/// Values are text, stored exactly as given. Used on the user interface's thread.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;

  /// The stored text, or nothing when the key is missing.
  [[nodiscard]] virtual std::optional<std::string> read(std::string_view key) const = 0;
  virtual void write(std::string_view key, std::string_view value) = 0;
};

}  // namespace tempik::core
