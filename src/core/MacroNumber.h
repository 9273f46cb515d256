#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tempik::core {

/// The console macro whose label shows the tempo, from the operator's text: a decimal
/// integer with an optional sign, spaces and tabs around it allowed, from 1 to 99999.
/// Nothing for anything else (line breaks are not trimmed).
[[nodiscard]] std::optional<std::int64_t> parseMacroNumber(std::string_view text);

}  // namespace tempik::core
