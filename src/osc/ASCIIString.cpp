#include "osc/ASCIIString.h"

#include <algorithm>

#include "osc/LatinToASCII.h"
#include "osc/UTF8.h"

namespace tempik::osc {
namespace {

bool isASCII(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) <= 0x7F; });
}

bool isPrintableASCII(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) {
    const auto b = static_cast<unsigned char>(c);
    return b >= 0x20 && b <= 0x7E;
  });
}

}  // namespace

ASCIIString::ASCIIString(std::string_view text)
    : text_(isASCII(text) ? std::string(text) : lossy(text).text_) {}

std::optional<ASCIIString> ASCIIString::exactly(std::string_view text) {
  if (!isASCII(text)) return std::nullopt;
  return ASCIIString(Trusted{}, std::string(text));
}

ASCIIString ASCIIString::lossy(std::string_view text) {
  // Printable ASCII, nearly every outgoing string, never needs the transform.
  if (isPrintableASCII(text)) return ASCIIString(Trusted{}, std::string(text));
  return ASCIIString(Trusted{}, detail::toPrintableASCII(text));
}

std::optional<ASCIIString> ASCIIString::fromBytes(std::span<const std::uint8_t> bytes) {
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (!isASCII(text)) return std::nullopt;
  return ASCIIString(Trusted{}, std::string(text));
}

std::string ASCIIString::debugDescription() const {
  return "ASCIIString(\"" + text_ + "\")";
}

ASCIIString operator+(const ASCIIString& a, const ASCIIString& b) {
  return ASCIIString(ASCIIString::Trusted{}, a.text_ + b.text_);
}

std::optional<ASCIICharacter> ASCIICharacter::exactly(std::string_view character) {
  if (character == "\r\n") return ASCIICharacter('\n');
  if (character.size() != 1 || !isASCII(character)) return std::nullopt;
  return ASCIICharacter(character[0]);
}

std::optional<ASCIICharacter> ASCIICharacter::exactly(char32_t codePoint) {
  if (codePoint > 0x7F) return std::nullopt;
  return ASCIICharacter(static_cast<char>(codePoint));
}

ASCIICharacter ASCIICharacter::lossy(std::string_view character) {
  if (auto exact = exactly(character)) return *exact;
  const ASCIIString converted = ASCIIString::lossy(character);
  return converted.empty() ? ASCIICharacter('?') : ASCIICharacter(converted.stringValue()[0]);
}

ASCIICharacter ASCIICharacter::lossy(char32_t codePoint) {
  if (codePoint <= 0x7F) return ASCIICharacter(static_cast<char>(codePoint));
  // Surrogates and values past the last code point are not characters at all.
  if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
    return ASCIICharacter('?');
  }
  return lossy(std::string_view(utf8(codePoint)));
}

std::string ASCIICharacter::description() const {
  return std::string(1, code_ >= 32 && code_ <= 126 ? static_cast<char>(code_) : '?');
}

std::string ASCIICharacter::debugDescription() const {
  return "ASCIICharacter(#" + std::to_string(code_) + ": \"" + description() + "\")";
}

}  // namespace tempik::osc
