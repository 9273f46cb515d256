#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "osc/OSCTimeTag.h"

namespace tempik::osc {

class OSCPacket;

/// An OSC bundle: a time tag and element packets (messages or bundles), in order. An
/// immutable value, safe to hand between threads. Encoding a decoded bundle returns exactly
/// the bytes it came from (its messages keep what their values alone would not reproduce).
/// Include "osc/OSCPacket.h" to use the elements.
class OSCBundle {
 public:
  /// Bundles may nest this deep (the outermost bundle is level 1); deeper input is malformed
  /// and deeper bundles are refused by the encoder.
  static constexpr int kMaxDepth = 32;
  /// The 8-byte header: "#bundle" and one zero byte.
  static constexpr std::uint8_t kHeader[8] = {'#', 'b', 'u', 'n', 'd', 'l', 'e', 0};

  OSCBundle();
  explicit OSCBundle(std::vector<OSCPacket> elements, OSCTimeTag timeTag = OSCTimeTag::immediate());
  OSCBundle(const OSCBundle&);
  OSCBundle(OSCBundle&&) noexcept;
  OSCBundle& operator=(const OSCBundle&);
  OSCBundle& operator=(OSCBundle&&) noexcept;
  ~OSCBundle();

  /// Decodes one bundle. Throws `OSCDecodeError`; a failed decode returns nothing at all.
  static OSCBundle decode(std::span<const std::uint8_t> bytes);
  static OSCBundle decode(std::vector<std::uint8_t>&& bytes);

  const OSCTimeTag& timeTag() const { return timeTag_; }
  const std::vector<OSCPacket>& elements() const { return elements_; }

  /// The encoded bundle (exactly the bytes received when decoded). Throws `OSCEncodeError`.
  std::vector<std::uint8_t> rawData() const;
  void encode(std::vector<std::uint8_t>& out) const;

  std::string description() const;
  std::string descriptionPretty() const;

  friend bool operator==(const OSCBundle& a, const OSCBundle& b);

 private:
  friend class OSCPacket;
  static OSCBundle decodeAt(std::span<const std::uint8_t> bytes, int depth);
  void encodeAt(std::vector<std::uint8_t>& out, int depth) const;

  OSCTimeTag timeTag_;
  std::vector<OSCPacket> elements_;
};

}  // namespace tempik::osc
