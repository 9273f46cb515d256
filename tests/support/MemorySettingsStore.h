#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/SettingsStore.h"

namespace tempik::fakes {

/// A settings store in memory that also remembers every write, in order.
class MemorySettingsStore final : public core::SettingsStore {
 public:
  MemorySettingsStore() = default;
  explicit MemorySettingsStore(std::map<std::string, std::string, std::less<>> values)
      : values_(std::move(values)) {}

  [[nodiscard]] std::optional<std::string> read(std::string_view key) const override {
    const auto found = values_.find(key);
    if (found == values_.end()) return std::nullopt;
    return found->second;
  }

  void write(std::string_view key, std::string_view value) override {
    values_.insert_or_assign(std::string(key), std::string(value));
    writes_.emplace_back(key, value);
  }

  [[nodiscard]] const std::vector<std::pair<std::string, std::string>>& writes() const {
    return writes_;
  }

 private:
  std::map<std::string, std::string, std::less<>> values_;
  std::vector<std::pair<std::string, std::string>> writes_;
};

}  // namespace tempik::fakes
