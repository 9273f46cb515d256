#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tempik::core {

/// A write that did not reach the store's file: where it should have gone, and why not.
struct SettingsError {
  std::string location;
  std::string reason;
  friend bool operator==(const SettingsError&, const SettingsError&) = default;
};

/// The per-user key-value store that keeps the operator's settings between runs.
/// Values are text, stored exactly as given. Used on the user interface's thread.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;

  /// The stored text, or nothing when the key is missing.
  [[nodiscard]] virtual std::optional<std::string> read(std::string_view key) const = 0;
  /// Keeps the value for this run whatever happens; says so when it could not be saved.
  virtual std::optional<SettingsError> write(std::string_view key, std::string_view value) = 0;
};

}  // namespace tempik::core
