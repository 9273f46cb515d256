#pragma once

#include <chrono>

namespace tempik::core {

/// The wall clock, as a seam so that tests can choose the time of a console tap.
class WallClock {
 public:
  virtual ~WallClock() = default;
  [[nodiscard]] virtual std::chrono::system_clock::time_point now() const = 0;
};

/// The system's real wall clock.
class SystemWallClock final : public WallClock {
 public:
  [[nodiscard]] std::chrono::system_clock::time_point now() const override {
    return std::chrono::system_clock::now();
  }
};

}  // namespace tempik::core
