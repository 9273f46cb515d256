#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "osc/OSCBundle.h"
#include "osc/OSCMessage.h"

namespace tempik::osc {

enum class OSCPacketType { message, bundle };

/// An OSC packet: one message or one bundle. An immutable value, safe to hand between threads.
class OSCPacket {
 public:
  OSCPacket(OSCMessage message) : packet_(std::move(message)) {}  // NOLINT: a message is a packet
  OSCPacket(OSCBundle bundle) : packet_(std::move(bundle)) {}     // NOLINT: so is a bundle
  /// For the codec's decoders: an empty message to decode into, so it is never moved after.
  explicit OSCPacket(OSCMessage::DecodingKey key) : packet_(std::in_place_type<OSCMessage>, key) {}

  /// A bundle when `bytes` begin with the bundle header, a message when they begin with "/",
  /// otherwise nothing (not an error). Throws `OSCDecodeError` for a malformed message or
  /// bundle; a failed decode returns nothing at all.
  static std::optional<OSCPacket> decode(std::span<const std::uint8_t> bytes);
  /// The same, taking `bytes` over as the packet's received bytes without a copy.
  static std::optional<OSCPacket> decode(std::vector<std::uint8_t>&& bytes);

  OSCPacketType packetType() const {
    return std::holds_alternative<OSCMessage>(packet_) ? OSCPacketType::message
                                                       : OSCPacketType::bundle;
  }
  const OSCMessage* message() const { return std::get_if<OSCMessage>(&packet_); }
  const OSCBundle* bundle() const { return std::get_if<OSCBundle>(&packet_); }
  const std::variant<OSCMessage, OSCBundle>& storage() const { return packet_; }

  /// The contained message's or bundle's bytes. Throws `OSCEncodeError`.
  std::vector<std::uint8_t> rawData() const;
  void encode(std::vector<std::uint8_t>& out) const;

  std::string description() const;
  std::string descriptionPretty() const;

  friend bool operator==(const OSCPacket&, const OSCPacket&) = default;

 private:
  friend class OSCBundle;
  template <class Bytes>
  static std::optional<OSCPacket> decodeMessage(Bytes&& bytes);
  OSCMessage& messageToFill() { return std::get<OSCMessage>(packet_); }
  void encodeAt(std::vector<std::uint8_t>& out, int depth) const;

  std::variant<OSCMessage, OSCBundle> packet_;
};

}  // namespace tempik::osc
