#include "osc/OSCPacket.h"

namespace tempik::osc {

std::optional<OSCPacket> OSCPacket::decode(std::span<const std::uint8_t> bytes) {
  if (OSCMessage::appearsToBeOSCBundle(bytes)) return OSCBundle::decode(bytes);
  if (OSCMessage::appearsToBeOSCMessage(bytes)) return OSCMessage::decode(bytes);
  return std::nullopt;
}

std::optional<OSCPacket> OSCPacket::decode(std::vector<std::uint8_t>&& bytes) {
  if (OSCMessage::appearsToBeOSCBundle(bytes)) return OSCBundle::decode(std::move(bytes));
  if (OSCMessage::appearsToBeOSCMessage(bytes)) return OSCMessage::decode(std::move(bytes));
  return std::nullopt;
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
