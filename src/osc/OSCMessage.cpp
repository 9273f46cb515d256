#include "osc/OSCMessage.h"

#include <algorithm>
#include <cstring>

#include "osc/BigEndian.h"
#include "osc/MessageCheck.h"
#include "osc/OSCBundle.h"
#include "osc/OSCErrors.h"
#include "osc/OSCMessageView.h"
#include "osc/OSCSerialization.h"
#include "osc/OSCValueDecoder.h"

namespace tempik::osc {
namespace {

std::size_t paddedLength(std::size_t n) {
  return n + (4 - n % 4);
}

// The position of kind K among OSCValue's alternatives.
template <class K, class Variant>
struct AlternativeIndex;
template <class K, class... Kinds>
struct AlternativeIndex<K, std::variant<Kinds...>> {
  static constexpr std::size_t value = [] {
    std::size_t i = 0;
    (void)((std::is_same_v<K, Kinds> ? false : (++i, true)) && ...);
    return i;
  }();
};
template <class K>
constexpr std::size_t kIndexOf = AlternativeIndex<K, OSCValue::Storage>::value;

// How many tags and roughly how many payload bytes `value` will write: lets the encoder
// reserve the whole message and place the tag chunk before the payloads in one pass.
void measure(const OSCValue& value, std::size_t& tags, std::size_t& bytes) {
  tags += 1;
  switch (value.storage().index()) {
    case kIndexOf<std::string>:
      bytes += paddedLength(value.getIf<std::string>()->size());
      return;
    case kIndexOf<OSCBlob>:
      bytes += 4 + value.getIf<OSCBlob>()->size() + 3;
      return;
    case kIndexOf<OSCStringAltValue>:
      bytes += paddedLength(value.getIf<OSCStringAltValue>()->string.size());
      return;
    case kIndexOf<OSCArrayValue>:  // brackets around the elements
      tags += 1;
      for (const OSCValue& element : value.getIf<OSCArrayValue>()->elements) {
        measure(element, tags, bytes);
      }
      return;
    default:
      bytes += 8;
  }
}

// False when the encoder would write the argument differently: it replaces a string's
// control characters.
bool encodesAsReceived(const OSCArgumentView& argument) {
  if (const auto* text = std::get_if<std::string_view>(&argument)) {
    return detail::isPrintable(text->data(), text->size());
  }
  if (const auto* alt = std::get_if<OSCStringAltView>(&argument)) {
    return detail::isPrintable(alt->string.data(), alt->string.size());
  }
  if (const auto* array = std::get_if<OSCArrayView>(&argument)) {
    for (const OSCArgumentView& element : *array) {
      if (!encodesAsReceived(element)) return false;
    }
  }
  return true;
}

}  // namespace

bool OSCMessage::appearsToBeOSCBundle(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= 8 &&
         std::equal(bytes.begin(), bytes.begin() + 8, std::begin(OSCBundle::kHeader));
}

OSCMessage OSCMessage::decode(std::span<const std::uint8_t> bytes) {
  OSCMessage message;
  message.decodeFrom(bytes);
  return message;
}

OSCMessage OSCMessage::decode(std::vector<std::uint8_t>&& bytes) {
  OSCMessage message;
  message.decodeFrom(std::move(bytes));
  return message;
}

void OSCMessage::decodeFrom(std::span<const std::uint8_t> bytes) {
  if (!parse(bytes)) received_.assign(bytes.begin(), bytes.end());
}

void OSCMessage::decodeFrom(std::vector<std::uint8_t>&& bytes) {
  if (!parse(bytes)) received_ = std::move(bytes);
}

bool OSCMessage::parse(std::span<const std::uint8_t> bytes) {
  // Checked and read by the same code as OSCMessageView, in one walk, so the two accept and
  // refuse alike.
  bool printable = true;
  OSCMessageView view;
  view.check(bytes, [this, &printable]<class Kind>(const Kind& value) {
    if constexpr (std::is_same_v<Kind, std::string_view>) {
      printable &= detail::isPrintable(value.data(), value.size());
    } else if constexpr (std::is_same_v<Kind, OSCStringAltView>) {
      printable &= detail::isPrintable(value.string.data(), value.string.size());
    } else if constexpr (std::is_same_v<Kind, OSCArrayView>) {
      printable &= encodesAsReceived(OSCArgumentView(value));
    }
    detail::appendOne(values_, value);
  });
  address_.ascii_.text_.assign(view.addressPattern());  // already checked to be ASCII
  // The encoder writes one "," first and no other "," or zero tag.
  const std::string_view tags = view.typeTags();
  const bool canonicalTags = !tags.empty() && tags[0] == ',' && tags.find(',', 1) == tags.npos;
  return canonicalTags && printable && view.endsWithLastArgument();
}

std::vector<std::uint8_t> OSCMessage::rawData() const {
  std::vector<std::uint8_t> out;
  encode(out);
  return out;
}

void OSCMessage::encode(std::vector<std::uint8_t>& out) const {
  if (!received_.empty()) {
    out.insert(out.end(), received_.begin(), received_.end());
    return;
  }
  const std::size_t start = out.size();
  try {
    OSCMessageEncoder::encode(*this, out);
  } catch (...) {
    out.resize(start);  // a failed encoding leaves nothing behind
    throw;
  }
}

void OSCMessageEncoder::encode(const OSCMessage& message, std::vector<std::uint8_t>& out) {
  std::size_t tagCount = 1;  // the leading ","
  std::size_t payloadEstimate = 0;
  for (const OSCValue& value : message.values()) measure(value, tagCount, payloadEstimate);

  const auto address = message.addressPattern().rawData();
  const std::size_t tagChunkLength = paddedLength(tagCount);
  out.reserve(out.size() + paddedLength(address.size()) + tagChunkLength + payloadEstimate);

  out.insert(out.end(), address.begin(), address.end());
  appendZeros(out, 4 - address.size() % 4);
  // The tag chunk is filled in once the values have reported their tags.
  const std::size_t tagChunkAt = out.size();
  appendZeros(out, tagChunkLength);

  std::string tags = ",";
  for (const OSCValue& value : message.values()) OSCSerialization::encodeValue(value, tags, out);
  if (tags.size() != tagCount) {
    throw OSCEncodeError::internalInconsistency("Type tag count changed while encoding.");
  }
  std::memcpy(out.data() + tagChunkAt, tags.data(), tags.size());
}

std::string OSCMessage::description() const {
  std::string text = "OSCMessage(\"" + address_.rawAddress() + "\"";
  if (!values_.empty()) text += ", values: " + describe({values_.data(), values_.size()});
  return text + ")";
}

std::string OSCMessage::descriptionPretty() const {
  std::string text = "OSCMessage(\"" + address_.rawAddress() + "\")";
  if (values_.empty()) return text;
  std::string lines;
  for (std::size_t i = 0; i < values_.size(); ++i) {
    if (i > 0) lines += "\n  ";
    lines += std::string(values_[i].typeName()) + ": " + values_[i].description();
  }
  text += " with values:\n  " + lines;
  const auto last = text.find_last_not_of(" \t\n\r");
  return text.substr(0, last == std::string::npos ? 0 : last + 1);
}

}  // namespace tempik::osc
