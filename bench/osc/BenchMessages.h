#pragma once

#include <array>
#include <cstdint>

// The two messages every codec in this benchmark encodes and decodes.
namespace tempik::osc::bench {

// (a) What the console sends back after each command.
inline constexpr const char* kConsoleAddress = "/eos/out/user/20/cmd";
inline constexpr const char* kConsoleText = "LIVE: Cue 1 : Effect 1 BPM 120#";

// (b) One argument of each common kind.
inline constexpr const char* kMixedAddress = "/test/mixed";
inline constexpr std::int32_t kMixedInt32 = 42;
inline constexpr float kMixedFloat = 1.5f;
inline constexpr const char* kMixedString = "hello";
inline constexpr std::array<std::uint8_t, 16> kMixedBlob = {0, 1, 2,  3,  4,  5,  6,  7,
                                                            8, 9, 10, 11, 12, 13, 14, 15};
inline constexpr std::int64_t kMixedInt64 = std::int64_t{1} << 40;
inline constexpr double kMixedDouble = 2.25;

}  // namespace tempik::osc::bench
