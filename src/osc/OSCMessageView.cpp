#include "osc/OSCMessageView.h"

#include "osc/MessageCheck.h"

namespace tempik::osc {
namespace detail {

std::size_t readArgument(std::string_view tags, OSCValueDecoder& reader, OSCArgumentView& out) {
  return checkOne(tags, reader,
                  [&out]<class Kind>(const Kind& value) { out.emplace<Kind>(value); });
}

void checkMessage(OSCMessageView& view, std::span<const std::uint8_t> bytes) {
  view.check(bytes, Ignore{});
}

void readArrayAt(std::string_view tags, const std::uint8_t* p, const std::uint8_t* end,
                 OSCArgumentView& out, std::size_t& tagCount, const std::uint8_t*& next) {
  // The elements up to the matching "]".
  OSCArgumentView element;
  std::size_t k = 1;
  next = p;
  while (tags[k] != ']') {
    std::size_t elementTags = 0;
    readArgumentAt(tags.substr(k), next, end, element, elementTags, next);
    k += elementTags;
  }
  tagCount = k + 1;
  out.emplace<OSCArrayView>(tags.substr(1, k - 1),
                            std::span<const std::uint8_t>(p, static_cast<std::size_t>(next - p)));
}

}  // namespace detail

}  // namespace tempik::osc
