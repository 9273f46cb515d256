#pragma once

#include <compare>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tempik::osc {

/// Text known to be ASCII (every code point 0x00-0x7F); its bytes are its characters.
/// An immutable value; safe to hand between threads. Every conversion is thread-safe.
class ASCIIString {
 public:
  ASCIIString() = default;
  /// The exact rule when `text` (UTF-8) is pure ASCII, otherwise the lossy rule. Never fails.
  ASCIIString(std::string_view text);  // NOLINT: implicit like a literal
  ASCIIString(const char* text) : ASCIIString(std::string_view(text)) {}  // NOLINT

  /// The exact rule: a result only when every code point of `text` is at most 0x7F.
  static std::optional<ASCIIString> exactly(std::string_view text);
  /// The lossy rule: Latin letters and symbols transliterated to ASCII, every code point outside
  /// the printable range 0x20-0x7E (controls included) replaced by one "?". Never fails.
  static ASCIIString lossy(std::string_view text);
  /// The byte rule for received text: rejects any byte above 0x7F. A backslash is ordinary.
  static std::optional<ASCIIString> fromBytes(std::span<const std::uint8_t> bytes);

  const std::string& stringValue() const { return text_; }
  std::span<const std::uint8_t> rawData() const {
    return {reinterpret_cast<const std::uint8_t*>(text_.data()), text_.size()};
  }
  std::size_t size() const { return text_.size(); }
  bool empty() const { return text_.empty(); }

  std::string description() const { return text_; }
  std::string debugDescription() const;

  friend ASCIIString operator+(const ASCIIString& a, const ASCIIString& b);
  friend bool operator==(const ASCIIString&, const ASCIIString&) = default;
  friend auto operator<=>(const ASCIIString&, const ASCIIString&) = default;

 private:
  friend class OSCMessage;  // fills in addresses from received bytes it has already checked
  struct Trusted {};
  ASCIIString(Trusted, std::string text) : text_(std::move(text)) {}

  std::string text_;
};

/// One ASCII character and its code, 0-127.
class ASCIICharacter {
 public:
  constexpr ASCIICharacter(char c) : code_(static_cast<std::uint8_t>(c) & 0x7F) {}  // NOLINT

  /// One character (one code point, or the pair CR LF, which gives code 10) by the exact rule.
  static std::optional<ASCIICharacter> exactly(std::string_view character);
  static std::optional<ASCIICharacter> exactly(char32_t codePoint);
  /// The character itself when it is ASCII, else the first character of its lossy
  /// transliteration, else "?".
  static ASCIICharacter lossy(std::string_view character);
  static ASCIICharacter lossy(char32_t codePoint);

  constexpr char characterValue() const { return static_cast<char>(code_); }
  constexpr std::uint8_t asciiValue() const { return code_; }

  /// The character when printable (32-126), otherwise "?".
  std::string description() const;
  std::string debugDescription() const;

  friend constexpr bool operator==(ASCIICharacter, ASCIICharacter) = default;
  friend constexpr auto operator<=>(ASCIICharacter, ASCIICharacter) = default;

 private:
  std::uint8_t code_;
};

}  // namespace tempik::osc

template <>
struct std::hash<tempik::osc::ASCIIString> {
  std::size_t operator()(const tempik::osc::ASCIIString& s) const noexcept {
    return std::hash<std::string>{}(s.stringValue());
  }
};

template <>
struct std::hash<tempik::osc::ASCIICharacter> {
  std::size_t operator()(tempik::osc::ASCIICharacter c) const noexcept { return c.asciiValue(); }
};
