#pragma once

#include <atomic>
#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/SettingsStore.h"
#include "core/WallClock.h"

namespace tempik::fakes {

/// A settings store in memory that also remembers every write, in order.
class MemorySettingsStore final : public core::SettingsStore {
 public:
  using Values = std::map<std::string, std::string, std::less<>>;
  explicit MemorySettingsStore(Values values = {}) : values_(std::move(values)) {}

  [[nodiscard]] std::optional<std::string> read(std::string_view key) const override {
    const auto found = values_.find(key);
    return found == values_.end() ? std::nullopt : std::optional(found->second);
  }
  std::optional<core::SettingsError> write(std::string_view key, std::string_view value) override {
    values_.insert_or_assign(std::string(key), std::string(value));
    writes.emplace_back(key, value);
    return failure;
  }

  std::vector<std::pair<std::string, std::string>> writes;
  /// What every write answers: nothing, or the failure the test sets.
  std::optional<core::SettingsError> failure;

 private:
  Values values_;
};

/// A wall clock that shows whatever time the test sets.
class FakeWallClock final : public core::WallClock {
 public:
  [[nodiscard]] std::chrono::system_clock::time_point now() const override { return now_; }
  void set(std::chrono::system_clock::time_point now) { now_ = now; }

 private:
  std::chrono::system_clock::time_point now_{};
};

/// Every reading is half a second after the previous one, so console taps, however late they
/// are handled, are 120 BPM apart. Any thread may read it.
class SteppingWallClock final : public core::WallClock {
 public:
  [[nodiscard]] std::chrono::system_clock::time_point now() const override {
    return std::chrono::system_clock::time_point{} + std::chrono::milliseconds(500) * calls_++;
  }

 private:
  mutable std::atomic<std::int64_t> calls_{1'000'000};
};

}  // namespace tempik::fakes
