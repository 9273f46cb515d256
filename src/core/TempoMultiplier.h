#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tempik::core {

/// How far a followed tempo must be from the current whole BPM to replace it.
inline constexpr double followMargin = 0.6;

/// Half time, normal or double time: what every source's tempo is multiplied by before it
/// becomes the tempo tempik shows and sends.
enum class TempoMultiplier { half, normal, twice };

/// The settings text ("0.5", "1", "2"), and back; anything else reads as nothing.
[[nodiscard]] std::string settingsText(TempoMultiplier multiplier);
[[nodiscard]] std::optional<TempoMultiplier> parseTempoMultiplier(std::string_view text);

[[nodiscard]] double factor(TempoMultiplier multiplier);

/// tempo x multiplier as a whole BPM: rounded half away from zero, never below 1.
[[nodiscard]] std::int64_t wholeBPM(double tempo, TempoMultiplier multiplier);

/// Whether a followed tempo replaces the current whole BPM: only once it is at least 0.6 BPM
/// away from it (multiplied), so that a tempo wobbling around a half never flaps.
[[nodiscard]] bool takesOver(double followedTempo, TempoMultiplier multiplier,
                             std::optional<std::int64_t> current);

}  // namespace tempik::core
