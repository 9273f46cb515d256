#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "osc/ASCIIString.h"
#include "osc/OSCValue.h"

namespace tempik::osc {

/// Where a message goes: the address text after conversion to ASCII (exact when the text is
/// pure ASCII, lossy otherwise). Its syntax is not checked.
class OSCAddressPattern {
 public:
  OSCAddressPattern() = default;
  OSCAddressPattern(std::string_view text) : ascii_(text) {}               // NOLINT: like a literal
  OSCAddressPattern(const char* text) : ascii_(std::string_view(text)) {}  // NOLINT
  explicit OSCAddressPattern(ASCIIString text) : ascii_(std::move(text)) {}

  const std::string& rawAddress() const { return ascii_.stringValue(); }
  std::span<const std::uint8_t> rawData() const { return ascii_.rawData(); }

  friend bool operator==(const OSCAddressPattern&, const OSCAddressPattern&) = default;

 private:
  friend class OSCMessage;  // fills in a received address in place
  ASCIIString ascii_;
};

/// An OSC message: an address pattern and its argument values. An immutable value, safe to
/// hand between threads. Encoding a decoded message returns exactly the bytes it came from:
/// it keeps them whenever its values alone would encode differently (a tag string without
/// ",", control characters in strings, ignored trailing bytes). Equality ignores them.
class OSCMessage {
  // Only the codec's decoders can name the key: it makes the empty message they decode into.
  struct DecodingKey {
    explicit DecodingKey() = default;
  };

 public:
  explicit OSCMessage(DecodingKey) {}
  // Moving never throws, as every value moves without throwing; the value list's own trait
  // cannot see that, and bundles and queues move messages only when it is declared.
  OSCMessage(const OSCMessage&) = default;
  OSCMessage(OSCMessage&&) noexcept = default;
  OSCMessage& operator=(const OSCMessage&) = default;
  OSCMessage& operator=(OSCMessage&&) noexcept = default;
  ~OSCMessage() = default;
  OSCMessage(OSCAddressPattern address, OSCValueList values = {})
      : address_(std::move(address)), values_(std::move(values)) {}
  OSCMessage(std::string_view address, OSCValueList values = {})
      : address_(address), values_(std::move(values)) {}
  OSCMessage(const char* address, OSCValueList values = {})
      : address_(address), values_(std::move(values)) {}

  /// Decodes one message. Throws `OSCDecodeError`; a failed decode returns nothing at all.
  static OSCMessage decode(std::span<const std::uint8_t> bytes);
  /// The same, taking `bytes` over (no copy) when it needs to keep them.
  static OSCMessage decode(std::vector<std::uint8_t>&& bytes);

  /// True when `bytes` begin with "/".
  static bool appearsToBeOSCMessage(std::span<const std::uint8_t> bytes) {
    return !bytes.empty() && bytes[0] == '/';
  }
  /// True when `bytes` begin with the 8-byte bundle header "#bundle\0".
  static bool appearsToBeOSCBundle(std::span<const std::uint8_t> bytes);

  const OSCAddressPattern& addressPattern() const { return address_; }
  const OSCValueList& values() const { return values_; }

  /// The encoded message: for a decoded message exactly the bytes received, otherwise built
  /// from its address and values. Throws `OSCEncodeError`.
  std::vector<std::uint8_t> rawData() const;
  /// Appends the encoded message to `out` (same bytes as `rawData()`).
  void encode(std::vector<std::uint8_t>& out) const;

  /// `OSCMessage("/a")` or `OSCMessage("/a", values: [1, x])`.
  std::string description() const;
  /// One line per value: its kind's name and its description.
  std::string descriptionPretty() const;

  friend bool operator==(const OSCMessage& a, const OSCMessage& b) {
    return a.address_ == b.address_ && a.values_ == b.values_;
  }

 private:
  OSCMessage() = default;
  friend class OSCBundle;
  friend class OSCPacket;  // both decode straight into a message they already hold
  // Decodes `bytes` into this empty message, keeping them when re-encoding needs them.
  void decodeFrom(std::span<const std::uint8_t> bytes);
  void decodeFrom(std::vector<std::uint8_t>&& bytes);
  // Parses `bytes` into this message; false when its values alone would not encode to them.
  bool parse(std::span<const std::uint8_t> bytes);

  OSCAddressPattern address_;
  OSCValueList values_;
  std::vector<std::uint8_t> received_;  // empty unless re-encoding needs them
};

/// Builds the bytes of one message from its address and values (never its received bytes):
/// the address chunk, the type tag chunk (",", then each value's tags), the payloads.
/// Reserves the whole message up front, so an encoding allocates once.
class OSCMessageEncoder {
 public:
  /// Appends the encoded `message` to `out`. Throws `OSCEncodeError`.
  static void encode(const OSCMessage& message, std::vector<std::uint8_t>& out);
};

}  // namespace tempik::osc
