#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

#include "core/WallClock.h"

namespace tempik::fakes {

/// Every reading is half a second after the previous one, so console taps, however late they
/// are handled, are 120 BPM apart. Safe to read from any thread.
class SteppingWallClock final : public core::WallClock {
 public:
  [[nodiscard]] std::chrono::system_clock::time_point now() const override {
    return std::chrono::system_clock::time_point{} + std::chrono::milliseconds(500) * calls_++;
  }

 private:
  mutable std::atomic<std::int64_t> calls_{1'000'000};
};

}  // namespace tempik::fakes
