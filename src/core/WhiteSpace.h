#pragma once

#include <cstddef>
#include <string_view>

namespace tempik::core {

/// White space as operators type it into text fields, in UTF-8: the Unicode space
/// separators (including U+00A0 and U+2000 to U+200A), tab, and the line breaks U+000A to
/// U+000D, U+0085, U+2028 and U+2029. Bytes that are not valid UTF-8 are never white space.

/// The length in bytes of the white-space character that starts at `position`, or 0.
[[nodiscard]] std::size_t whiteSpaceLengthAt(std::string_view text, std::size_t position);

/// `text` without leading and trailing white space and line breaks.
[[nodiscard]] std::string_view trimWhiteSpace(std::string_view text);

/// `text` without leading and trailing spaces and tabs (line breaks are kept).
[[nodiscard]] std::string_view trimBlanks(std::string_view text);

}  // namespace tempik::core
