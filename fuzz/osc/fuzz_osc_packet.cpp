// Decodes arbitrary bytes as an OSC packet. A decoded packet must re-encode to exactly its input,
// and, rebuilt from its values alone, must encode to bytes that decode to the same packet
// (outgoing strings are made printable ASCII, so they are compared after that conversion).
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <vector>

#include "osc/ASCIIString.h"
#include "osc/OSCErrors.h"
#include "osc/OSCPacket.h"

using namespace tempik::osc;

namespace {

void require(bool condition) {
  if (!condition) std::abort();
}

OSCPacket rebuilt(const OSCPacket& packet) {
  if (const OSCMessage* message = packet.message()) {
    return OSCMessage(message->addressPattern(), message->values());
  }
  std::vector<OSCPacket> elements;
  for (const OSCPacket& element : packet.bundle()->elements()) elements.push_back(rebuilt(element));
  return OSCBundle(std::move(elements), packet.bundle()->timeTag());
}

bool sameValue(const OSCValue& sent, const OSCValue& received);

bool sameValues(std::span<const OSCValue> sent, std::span<const OSCValue> received) {
  if (sent.size() != received.size()) return false;
  for (std::size_t i = 0; i < sent.size(); ++i) {
    if (!sameValue(sent[i], received[i])) return false;
  }
  return true;
}

bool sameValue(const OSCValue& sent, const OSCValue& received) {
  if (sent.storage().index() != received.storage().index()) return false;
  if (const auto* s = sent.stringValue()) {
    return ASCIIString::lossy(*s).stringValue() == *received.stringValue();
  }
  if (const auto* s = sent.getIf<OSCStringAltValue>()) {
    return ASCIIString::lossy(s->string).stringValue() ==
           received.getIf<OSCStringAltValue>()->string;
  }
  // Bit patterns, so that NaNs compare equal to themselves.
  if (const auto* f = sent.getIf<float>()) {
    return std::bit_cast<std::uint32_t>(*f) ==
           std::bit_cast<std::uint32_t>(*received.getIf<float>());
  }
  if (const auto* d = sent.getIf<double>()) {
    return std::bit_cast<std::uint64_t>(*d) ==
           std::bit_cast<std::uint64_t>(*received.getIf<double>());
  }
  if (const auto* a = sent.getIf<OSCArrayValue>()) {
    return sameValues(a->elements, received.getIf<OSCArrayValue>()->elements);
  }
  return sent == received;
}

bool samePacket(const OSCPacket& sent, const OSCPacket& received) {
  if (sent.packetType() != received.packetType()) return false;
  if (const OSCMessage* m = sent.message()) {
    return m->addressPattern() == received.message()->addressPattern() &&
           sameValues({m->values().data(), m->values().size()},
                      {received.message()->values().data(), received.message()->values().size()});
  }
  const OSCBundle& a = *sent.bundle();
  const OSCBundle& b = *received.bundle();
  if (a.timeTag() != b.timeTag() || a.elements().size() != b.elements().size()) return false;
  for (std::size_t i = 0; i < a.elements().size(); ++i) {
    if (!samePacket(a.elements()[i], b.elements()[i])) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  std::optional<OSCPacket> packet;
  try {
    packet = OSCPacket::decode(input);
  } catch (const OSCDecodeError& error) {
    require(!error.description().empty());
    return 0;
  }
  if (!packet) {
    require(!OSCMessage::appearsToBeOSCMessage(input) && !OSCMessage::appearsToBeOSCBundle(input));
    return 0;
  }
  const std::vector<std::uint8_t> kept = packet->rawData();
  require(std::equal(kept.begin(), kept.end(), input.begin(), input.end()));
  (void)packet->description();
  (void)packet->descriptionPretty();

  // Everything the decoder accepts stays within the encoder's limits.
  const OSCPacket fresh = rebuilt(*packet);
  const std::vector<std::uint8_t> bytes = fresh.rawData();
  std::optional<OSCPacket> again;
  try {
    again = OSCPacket::decode(bytes);
  } catch (const OSCDecodeError&) {
    std::abort();
  }
  require(again.has_value());
  require(samePacket(*packet, *again));
  return 0;
}
