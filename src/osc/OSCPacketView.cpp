#include "osc/OSCPacketView.h"

#include "osc/MessageCheck.h"

namespace tempik::osc {

OSCBundleView OSCBundleView::decodeAt(std::span<const std::uint8_t> bytes, int depth) {
  OSCBundleView view;
  detail::readBundle(bytes, depth,
                     [&view, depth](std::span<const std::uint8_t> element, bool isBundle) {
                       if (isBundle) {
                         decodeAt(element, depth + 1);
                       } else {
                         OSCMessageView::decode(element);
                       }
                       ++view.elementCount_;
                     });
  view.bytes_ = bytes;
  view.depth_ = depth;
  return view;
}

std::optional<OSCPacketView> OSCPacketView::decode(std::span<const std::uint8_t> bytes) {
  // One named result, decoded where the caller receives it: never copied.
  std::optional<OSCPacketView> packet;
  if (OSCMessage::appearsToBeOSCMessage(bytes)) {
    packet.emplace(std::in_place_type<OSCMessageView>);
    std::get<OSCMessageView>(packet->packet_).check(bytes, detail::Ignore{});
  } else if (OSCMessage::appearsToBeOSCBundle(bytes)) {
    packet.emplace(OSCBundleView::decode(bytes));
  }
  return packet;
}

OSCBundleElementIterator::OSCBundleElementIterator(const OSCBundleView& bundle)
    : rest_(bundle.bytes_.subspan(16)), depth_(bundle.depth_) {
  readCurrent();
}

// The bundle was checked when decoded, so its elements decode again without failing.
void OSCBundleElementIterator::readCurrent() {
  if (rest_.empty()) {
    current_.reset();
    return;
  }
  const std::size_t size = loadBigEndian32(rest_.data());
  const auto element = rest_.subspan(4, size);
  rest_ = rest_.subspan(4 + size);
  if (OSCMessage::appearsToBeOSCBundle(element)) {
    current_.emplace(OSCBundleView::decodeAt(element, depth_ + 1));
  } else {
    current_.emplace(OSCMessageView::decode(element));
  }
}

}  // namespace tempik::osc
