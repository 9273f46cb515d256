#include "core/WhiteSpace.h"

#include <array>

namespace tempik::core {

namespace {

// Every white-space character beyond ASCII, encoded.
constexpr std::array<std::string_view, 19> multiByteWhiteSpace = {
    "\u0085", "\u00A0", "\u1680", "\u2000", "\u2001", "\u2002", "\u2003",
    "\u2004", "\u2005", "\u2006", "\u2007", "\u2008", "\u2009", "\u200A",
    "\u2028", "\u2029", "\u202F", "\u205F", "\u3000",
};

bool isAsciiWhiteSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

std::size_t whiteSpaceLengthBefore(std::string_view text, std::size_t end) {
  for (std::size_t length = 1; length <= 3 && length <= end; ++length) {
    if (whiteSpaceLengthAt(text, end - length) == length) return length;
  }
  return 0;
}

}  // namespace

std::size_t whiteSpaceLengthAt(std::string_view text, std::size_t position) {
  if (position >= text.size()) return 0;
  if (isAsciiWhiteSpace(text[position])) return 1;
  const std::string_view rest = text.substr(position);
  for (std::string_view encoded : multiByteWhiteSpace) {
    if (rest.starts_with(encoded)) return encoded.size();
  }
  return 0;
}

std::string_view trimWhiteSpace(std::string_view text) {
  std::size_t begin = 0;
  while (const std::size_t length = whiteSpaceLengthAt(text, begin)) begin += length;
  std::size_t end = text.size();
  while (end > begin) {
    const std::size_t length = whiteSpaceLengthBefore(text, end);
    if (length == 0 || end - length < begin) break;
    end -= length;
  }
  return text.substr(begin, end - begin);
}

std::string_view trimBlanks(std::string_view text) {
  const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace tempik::core
