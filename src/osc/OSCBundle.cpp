#include "osc/OSCBundle.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "osc/BigEndian.h"
#include "osc/OSCErrors.h"
#include "osc/OSCPacket.h"
#include "osc/OSCPacketView.h"

namespace tempik::osc {
OSCBundle::OSCBundle() = default;
OSCBundle::OSCBundle(std::vector<OSCPacket> elements, OSCTimeTag timeTag)
    : timeTag_(timeTag), elements_(std::move(elements)) {}
OSCBundle::OSCBundle(const OSCBundle&) = default;
OSCBundle::OSCBundle(OSCBundle&&) noexcept = default;
OSCBundle& OSCBundle::operator=(const OSCBundle&) = default;
OSCBundle& OSCBundle::operator=(OSCBundle&&) noexcept = default;
OSCBundle::~OSCBundle() = default;

bool operator==(const OSCBundle& a, const OSCBundle& b) {
  return a.timeTag_ == b.timeTag_ && a.elements_ == b.elements_;
}

OSCBundle OSCBundle::decode(std::span<const std::uint8_t> bytes) {
  return decodeAt(bytes, 1);
}

OSCBundle OSCBundle::decode(std::vector<std::uint8_t>&& bytes) {
  return decodeAt(bytes, 1);
}

OSCBundle OSCBundle::decodeAt(std::span<const std::uint8_t> bytes, int depth) {
  // The same reading as OSCBundleView's, so the two accept and refuse alike.
  OSCBundle bundle;
  detail::readBundle(
      bytes, depth, [&bundle, depth](std::span<const std::uint8_t> element, bool isBundle) {
        if (isBundle) {
          bundle.elements_.emplace_back(decodeAt(element, depth + 1));
        } else {
          OSCPacket& packet = bundle.elements_.emplace_back(OSCMessage::DecodingKey{});
          packet.messageToFill().decodeFrom(element);
        }
      });
  bundle.timeTag_ = OSCTimeTag(loadBigEndian64(bytes.data() + 8), 0);
  // Sizes, header and time tag re-encode as read, so the bundle keeps no bytes of its own.
  return bundle;
}

std::vector<std::uint8_t> OSCBundle::rawData() const {
  std::vector<std::uint8_t> out;
  out.reserve(10000);
  encode(out);
  return out;
}

void OSCBundle::encode(std::vector<std::uint8_t>& out) const {
  const std::size_t start = out.size();
  try {
    encodeAt(out, 1);
  } catch (...) {
    out.resize(start);  // a failed encoding leaves nothing behind
    throw;
  }
}

void OSCBundle::encodeAt(std::vector<std::uint8_t>& out, int depth) const {
  if (depth > kMaxDepth) {
    throw OSCEncodeError::general("Bundles are nested deeper than " + std::to_string(kMaxDepth) +
                                  " levels.");
  }
  out.insert(out.end(), std::begin(kHeader), std::end(kHeader));
  appendBigEndian64(out, timeTag_.rawValue);
  for (const OSCPacket& element : elements_) {
    const std::size_t sizeAt = out.size();
    appendZeros(out, 4);
    element.encodeAt(out, depth + 1);
    const std::size_t size = out.size() - sizeAt - 4;
    if (size > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
      throw OSCEncodeError::valueEncodingError("Bundle element of " + std::to_string(size) +
                                               " bytes is too long; it must be below 2^31.");
    }
    std::uint8_t sizeBytes[4] = {
        static_cast<std::uint8_t>(size >> 24), static_cast<std::uint8_t>(size >> 16),
        static_cast<std::uint8_t>(size >> 8), static_cast<std::uint8_t>(size)};
    std::memcpy(out.data() + sizeAt, sizeBytes, 4);
  }
}

std::string OSCBundle::description() const {
  std::string text = "OSCBundle(";
  if (!timeTag_.isImmediate()) text += "timeTag: " + timeTag_.description();
  if (!timeTag_.isImmediate() && !elements_.empty()) text += ", ";
  if (!elements_.empty()) {
    text += "elements: [";
    for (std::size_t i = 0; i < elements_.size(); ++i) {
      if (i > 0) text += ", ";
      text += elements_[i].description();
    }
    text += "]";
  }
  return text + ")";
}

std::string OSCBundle::descriptionPretty() const {
  std::string text = "OSCBundle(";
  if (!timeTag_.isImmediate()) text += "timeTag: " + timeTag_.description();
  if (elements_.empty()) return text + ")";
  text += ") with elements:\n  ";
  for (std::size_t i = 0; i < elements_.size(); ++i) {
    if (i > 0) text += "\n  ";
    text += elements_[i].description();
  }
  return text;
}

}  // namespace tempik::osc
