#include "osc/OSCPacket.h"

#include <type_traits>

namespace tempik::osc {

// Bundles keep their elements in a vector, which moves them only when moving cannot throw.
static_assert(std::is_nothrow_move_constructible_v<OSCPacket>);

std::optional<OSCPacket> OSCPacket::decode(std::span<const std::uint8_t> bytes) {
  if (OSCMessage::appearsToBeOSCBundle(bytes)) return OSCBundle::decode(bytes);
  if (OSCMessage::appearsToBeOSCMessage(bytes)) return decodeMessage(bytes);
  return std::nullopt;
}

std::optional<OSCPacket> OSCPacket::decode(std::vector<std::uint8_t>&& bytes) {
  if (OSCMessage::appearsToBeOSCBundle(bytes)) return OSCBundle::decode(std::move(bytes));
  if (OSCMessage::appearsToBeOSCMessage(bytes)) return decodeMessage(std::move(bytes));
  return std::nullopt;
}

// The message is decoded where the caller receives it: one return of one named object, so
// neither the packet nor its inline values are ever moved.
template <class Bytes>
std::optional<OSCPacket> OSCPacket::decodeMessage(Bytes&& bytes) {
  std::optional<OSCPacket> packet(std::in_place, OSCMessage::DecodingKey{});
  packet->messageToFill().decodeFrom(std::forward<Bytes>(bytes));
  return packet;
}

std::vector<std::uint8_t> OSCPacket::rawData() const {
  if (const OSCBundle* b = bundle()) return b->rawData();
  return message()->rawData();
}

void OSCPacket::encode(std::vector<std::uint8_t>& out) const {
  if (const OSCBundle* b = bundle()) return b->encode(out);
  message()->encode(out);
}

void OSCPacket::encodeAt(std::vector<std::uint8_t>& out, int depth) const {
  if (const OSCBundle* b = bundle()) return b->encodeAt(out, depth);
  message()->encode(out);
}

std::string OSCPacket::description() const {
  if (const OSCBundle* b = bundle()) return b->description();
  return message()->description();
}

std::string OSCPacket::descriptionPretty() const {
  if (const OSCBundle* b = bundle()) return b->descriptionPretty();
  return message()->descriptionPretty();
}

}  // namespace tempik::osc
