// Decodes arbitrary bytes as an OSC packet. A decoded packet must re-encode to exactly its input,
// and, rebuilt from its values alone, must encode to bytes that decode to the same packet
// (outgoing strings are made printable ASCII, so they are compared after that conversion).
// Reading in place must agree with the owning decode on every input: the same error text, or
// the same values.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "osc/ASCIIString.h"
#include "osc/OSCErrors.h"
#include "osc/OSCPacket.h"
#include "osc/OSCPacketView.h"

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

// An argument read in place against the owning decode's value, kind by kind.
bool sameArgument(const OSCValue& value, const OSCArgumentView& argument);

bool sameArguments(const std::vector<OSCValue>& values, const OSCArrayView& array) {
  std::size_t i = 0;
  for (const OSCArgumentView& element : array) {
    if (i == values.size() || !sameArgument(values[i++], element)) return false;
  }
  return i == values.size();
}

template <class Kind>
bool sameAs(const OSCValue& value, const Kind& expected) {
  const Kind* kept = value.getIf<Kind>();
  return kept && *kept == expected;
}

bool sameArgument(const OSCValue& value, const OSCArgumentView& argument) {
  return std::visit(
      [&value](const auto& a) {
        using A = std::decay_t<decltype(a)>;
        if constexpr (std::is_same_v<A, std::string_view>) {
          return value.stringValue() && *value.stringValue() == a;
        } else if constexpr (std::is_same_v<A, std::span<const std::uint8_t>>) {
          const OSCBlob* blob = value.getIf<OSCBlob>();
          return blob && std::equal(blob->begin(), blob->end(), a.begin(), a.end());
        } else if constexpr (std::is_same_v<A, OSCStringAltView>) {
          const auto* alt = value.getIf<OSCStringAltValue>();
          return alt && alt->string == a.string;
        } else if constexpr (std::is_same_v<A, OSCArrayView>) {
          const auto* array = value.getIf<OSCArrayValue>();
          return array && sameArguments(array->elements, a);
        } else if constexpr (std::is_same_v<A, float>) {
          return value.getIf<float>() && std::bit_cast<std::uint32_t>(*value.getIf<float>()) ==
                                             std::bit_cast<std::uint32_t>(a);
        } else if constexpr (std::is_same_v<A, double>) {
          return value.getIf<double>() && std::bit_cast<std::uint64_t>(*value.getIf<double>()) ==
                                              std::bit_cast<std::uint64_t>(a);
        } else {
          return sameAs(value, a);
        }
      },
      argument);
}

bool sameMessage(const OSCMessage& message, const OSCMessageView& view) {
  const OSCValueList& values = message.values();
  if (message.addressPattern().rawAddress() != view.addressPattern() ||
      values.size() != view.argumentCount()) {
    return false;
  }
  std::size_t i = 0;
  for (const OSCArgumentView& argument : view) {
    if (i == values.size() || !sameArgument(values[i++], argument)) return false;
  }
  return i == values.size();
}

bool samePacketRead(const OSCPacket& packet, const OSCPacketView& view) {
  if (packet.packetType() != view.packetType()) return false;
  if (const OSCMessage* message = packet.message()) return sameMessage(*message, *view.message());
  const OSCBundle& bundle = *packet.bundle();
  if (bundle.timeTag() != view.bundle()->timeTag() ||
      bundle.elements().size() != view.bundle()->elementCount()) {
    return false;
  }
  std::size_t i = 0;
  for (const OSCPacketView& element : *view.bundle()) {
    if (i == bundle.elements().size() || !samePacketRead(bundle.elements()[i++], element)) {
      return false;
    }
  }
  return i == bundle.elements().size();
}

// Decodes with `decode`, giving the error text when it fails.
template <class Decode>
auto attempt(Decode decode, std::string& error) -> std::optional<decltype(decode())> {
  try {
    return decode();
  } catch (const OSCDecodeError& e) {
    error = e.description();
    return std::nullopt;
  }
}

// Both decodes fail with the same text, or both succeed and `same` holds.
template <class Owning, class View, class Same>
void requireAgreement(Owning owning, View view, Same same) {
  std::string owningError = "(decoded)";
  std::string viewError = "(decoded)";
  const auto owned = attempt(owning, owningError);
  const auto read = attempt(view, viewError);
  require(owningError == viewError && owned.has_value() == read.has_value());
  if (owned) require(same(*owned, *read));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  requireAgreement([input] { return OSCPacket::decode(input); },
                   [input] { return OSCPacketView::decode(input); },
                   [](const std::optional<OSCPacket>& p, const std::optional<OSCPacketView>& v) {
                     return p.has_value() == v.has_value() && (!p || samePacketRead(*p, *v));
                   });
  requireAgreement([input] { return OSCMessage::decode(input); },
                   [input] { return OSCMessageView::decode(input); }, sameMessage);
  requireAgreement([input] { return OSCBundle::decode(input); },
                   [input] { return OSCBundleView::decode(input); },
                   [](const OSCBundle& b, const OSCBundleView& v) {
                     return samePacketRead(OSCPacket(b), OSCPacketView(v));
                   });

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
