#pragma once

#include <QPalette>
#include <cstdint>

namespace tempik::ui {

/// The desktop's light or dark preference.
enum class ColorScheme { noPreference, dark, light };

/// The appearance portal's "color-scheme" value: 1 prefers dark, 2 prefers light, and
/// anything else (0 included) states no preference.
[[nodiscard]] ColorScheme colorSchemeFromPortal(std::uint32_t value);

/// A dark palette for the whole window: dark background, groups and fields a step
/// lighter, light text in readable contrast, and a vivid accent.
[[nodiscard]] QPalette darkPalette();

/// The palette to use for a preference: the platform's own when there is none or when it
/// already matches; otherwise the dark palette or the style's light one.
[[nodiscard]] QPalette paletteFor(ColorScheme scheme, const QPalette& platform,
                                  const QPalette& light);

}  // namespace tempik::ui
