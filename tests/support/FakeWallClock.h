#pragma once

#include <chrono>

#include "core/WallClock.h"

namespace tempik::fakes {

/// A wall clock that shows whatever time the test sets.
class FakeWallClock final : public core::WallClock {
 public:
  [[nodiscard]] std::chrono::system_clock::time_point now() const override { return now_; }
  void set(std::chrono::system_clock::time_point now) { now_ = now; }

 private:
  std::chrono::system_clock::time_point now_{};
};

}  // namespace tempik::fakes
