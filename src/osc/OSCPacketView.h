#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <variant>

#include "osc/BigEndian.h"
#include "osc/OSCBundle.h"
#include "osc/OSCErrors.h"
#include "osc/OSCMessage.h"
#include "osc/OSCMessageView.h"
#include "osc/OSCPacket.h"
#include "osc/OSCTimeTag.h"

namespace tempik::osc {

class OSCPacketView;
class OSCBundleElementIterator;

/// A received bundle read in place: it borrows the bytes it was decoded from and allocates
/// nothing. Decoding checks the whole bundle, every element included, exactly as
/// `OSCBundle::decode` does, with the same `OSCDecodeError` texts. Iterating gives each
/// element as an `OSCPacketView`.
/// A value; any thread, one at a time per buffer like the buffer itself.
class OSCBundleView {
 public:
  OSCBundleView() = default;

  /// Decodes one bundle. Throws `OSCDecodeError`.
  static OSCBundleView decode(std::span<const std::uint8_t> bytes) { return decodeAt(bytes, 1); }

  OSCTimeTag timeTag() const { return OSCTimeTag(loadBigEndian64(bytes_.data() + 8), 0); }
  std::size_t elementCount() const { return elementCount_; }
  std::span<const std::uint8_t> bytes() const { return bytes_; }

  OSCBundleElementIterator begin() const;
  std::default_sentinel_t end() const { return {}; }

 private:
  friend class OSCBundleElementIterator;
  static OSCBundleView decodeAt(std::span<const std::uint8_t> bytes, int depth);

  std::span<const std::uint8_t> bytes_;
  std::size_t elementCount_ = 0;
  int depth_ = 1;
};

/// A received packet read in place: one message view or one bundle view.
class OSCPacketView {
 public:
  explicit OSCPacketView(OSCMessageView message) : packet_(message) {}
  explicit OSCPacketView(OSCBundleView bundle) : packet_(bundle) {}
  /// An empty message view, for decoding into.
  explicit OSCPacketView(std::in_place_type_t<OSCMessageView>)
      : packet_(std::in_place_type<OSCMessageView>) {}

  /// A bundle view when `bytes` begin with the bundle header, a message view when they begin
  /// with "/", otherwise nothing (not an error). Throws `OSCDecodeError` as `OSCPacket::decode`
  /// does.
  static std::optional<OSCPacketView> decode(std::span<const std::uint8_t> bytes);

  OSCPacketType packetType() const {
    return std::holds_alternative<OSCMessageView>(packet_) ? OSCPacketType::message
                                                           : OSCPacketType::bundle;
  }
  const OSCMessageView* message() const { return std::get_if<OSCMessageView>(&packet_); }
  const OSCBundleView* bundle() const { return std::get_if<OSCBundleView>(&packet_); }

 private:
  std::variant<OSCMessageView, OSCBundleView> packet_;
};

/// Walks the elements of a bundle that was already checked.
class OSCBundleElementIterator {
 public:
  using value_type = OSCPacketView;
  using difference_type = std::ptrdiff_t;

  OSCBundleElementIterator() = default;
  explicit OSCBundleElementIterator(const OSCBundleView& bundle);

  const OSCPacketView& operator*() const { return *current_; }
  const OSCPacketView* operator->() const { return &*current_; }
  OSCBundleElementIterator& operator++() {
    readCurrent();
    return *this;
  }
  void operator++(int) { ++*this; }
  friend bool operator==(const OSCBundleElementIterator& it, std::default_sentinel_t) {
    return !it.current_;
  }

 private:
  void readCurrent();

  std::span<const std::uint8_t> rest_;  // the elements after the current one
  std::optional<OSCPacketView> current_;
  int depth_ = 1;
};

inline OSCBundleElementIterator OSCBundleView::begin() const {
  return OSCBundleElementIterator(*this);
}

namespace detail {

/// Checks a bundle's length, header and nesting depth (the outermost bundle is depth 1), then
/// walks its elements with the bundle decoder's checks and texts, handing each element's bytes
/// to `onElement(bytes, isBundle)` in order before reading the next. Throws `OSCDecodeError`.
template <class OnElement>
void readBundle(std::span<const std::uint8_t> bytes, int depth, OnElement&& onElement) {
  constexpr std::size_t kHeaderAndTimeTagLength = 16;
  if (bytes.size() < kHeaderAndTimeTagLength) {
    throw OSCDecodeError::malformed("Data length too short. (Length is " +
                                    std::to_string(bytes.size()) + ")");
  }
  if (!std::equal(std::begin(OSCBundle::kHeader), std::end(OSCBundle::kHeader), bytes.begin())) {
    throw OSCDecodeError::malformed("Bundle header is not present or is malformed.");
  }
  // Each nested bundle is a level of recursion; a frame of nothing but headers must not be
  // able to exhaust the stack.
  if (depth > OSCBundle::kMaxDepth) {
    throw OSCDecodeError::malformed("Bundles are nested deeper than " +
                                    std::to_string(OSCBundle::kMaxDepth) + " levels.");
  }
  std::size_t p = kHeaderAndTimeTagLength;
  while (p < bytes.size()) {
    const std::size_t remaining = bytes.size() - p;
    if (remaining < 4) throw OSCDecodeError::malformed("Data bytes ended earlier than expected.");
    const auto size = static_cast<std::int32_t>(loadBigEndian32(bytes.data() + p));
    // A negative size would move the position backwards.
    if (size < 0 || static_cast<std::size_t>(size) > remaining - 4) {
      throw OSCDecodeError::malformed("Data bytes ended earlier than expected.");
    }
    const auto element = bytes.subspan(p + 4, static_cast<std::size_t>(size));
    if (OSCMessage::appearsToBeOSCBundle(element)) {
      onElement(element, true);
    } else if (OSCMessage::appearsToBeOSCMessage(element)) {
      onElement(element, false);
    } else {
      throw OSCDecodeError::malformed("Unrecognized bundle element encountered.");
    }
    p += 4 + static_cast<std::size_t>(size);
  }
}

}  // namespace detail

}  // namespace tempik::osc
