#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

#include "osc/OSCErrors.h"
#include "osc/OSCMessageView.h"
#include "osc/OSCValueDecoder.h"

// The checking walk over a received message, shared by OSCMessageView and the owning
// OSCMessage decode so that the two accept and refuse exactly alike. Internal to the codec.
namespace tempik::osc {
namespace detail {

inline char32_t readCharacter(OSCValueDecoder& r) {
  const std::int32_t code = r.readInt32();
  if (code < 0 || code > 0x7F) {
    throw OSCDecodeError::malformed(
        "Character value couldn't be read. Could not form a Unicode scalar from the value.");
  }
  return static_cast<char32_t>(code);
}

template <bool Read>
std::size_t checkArray(std::string_view tags, OSCValueDecoder& r, OSCArgumentView& out);

// Checks the argument that starts `tags`, moving `r` past it, and returns how many tags it took.
// The codec's fourteen kinds by tag; any other tag, "]" and "," inside an array included, is
// one no kind decodes. With Read, the argument also goes to `out`. Inline: the message walk
// is the codec's hottest loop.
template <bool Read>
[[gnu::always_inline]] inline std::size_t checkOne(std::string_view tags, OSCValueDecoder& r,
                                                   OSCArgumentView& out) {
  auto put = [&]<class Kind>(Kind value) {
    if constexpr (Read) out.emplace<Kind>(value);
  };
  const char tag = tags.front();
  switch (tag) {
    case 'i':
      put(r.readInt32());
      return 1;
    case 'f':
      put(r.readFloat32());
      return 1;
    case 's':
      put(r.read4ByteAlignedNullTerminatedASCIIView());
      return 1;
    case 'b':
      put(r.readBlob());
      return 1;
    case 'T':
    case 'F':
      put(tag == 'T');
      return 1;
    case 'c':
      put(readCharacter(r));
      return 1;
    case 'd':
      put(r.readDouble());
      return 1;
    case 'h':
      put(r.readInt64());
      return 1;
    case 'I':
      put(OSCImpulseValue{});
      return 1;
    case 'm': {
      const auto b = r.read(4);
      put(OSCMIDIValue{b[0], b[1], b[2], b[3]});
      return 1;
    }
    case 'N':
      put(OSCNullValue{});
      return 1;
    case 'S':
      put(OSCStringAltView{r.read4ByteAlignedNullTerminatedASCIIView()});
      return 1;
    case 't':
      put(OSCTimeTag(r.readUInt64(), 0));
      return 1;
    case '[':
      return checkArray<Read>(tags, r, out);
    default:
      throw OSCDecodeError::internalInconsistency(
          "No decoder found to decode OSC type tag: " + std::string(1, tag) +
          ". Only decoder types supplied by the codec can be used.");
  }
}

template <bool Read>
std::size_t checkArray(std::string_view tags, OSCValueDecoder& r, OSCArgumentView& out) {
  r.enterArray();
  const std::size_t start = r.position();
  OSCArgumentView element;
  for (std::size_t k = 1; k < tags.size();) {
    if (tags[k] == ']') {
      r.leaveArray();
      if constexpr (Read) {
        out.emplace<OSCArrayView>(tags.substr(1, k - 1),
                                  r.data().subspan(start, r.position() - start));
      }
      return k + 1;
    }
    k += checkOne<false>(tags.substr(k), r, element);
  }
  throw OSCDecodeError::malformed("Array termination tag ']' was not found.");
}

}  // namespace detail

template <class OnArgument>
void OSCMessageView::check(std::span<const std::uint8_t> bytes, OnArgument&& onArgument) {
  if (bytes.size() % 4 != 0) throw OSCDecodeError::malformed("Length not a multiple of 4 bytes.");
  if (bytes.empty() || bytes[0] != '/') {
    throw OSCDecodeError::malformed("Does not start with an address pattern.");
  }
  OSCValueDecoder reader(bytes);
  try {
    addressLength_ = reader.read4ByteAlignedNullTerminatedASCIIView().size();
  } catch (const OSCDecodeError&) {
    throw OSCDecodeError::malformed("Address pattern string could not be parsed.");
  }
  tagsAt_ = reader.position();
  std::string_view tags;
  try {
    tags = reader.read4ByteAlignedNullTerminatedASCIIView();
  } catch (const OSCDecodeError&) {
    throw OSCDecodeError::malformed("Couldn't extract OSC-type chunk.");
  }
  tagsLength_ = tags.size();
  std::size_t count = 0;
  OSCArgumentView argument;
  for (std::size_t i = 0; i < tags.size();) {
    if (tags[i] == ',' || tags[i] == 0) {  // skipped wherever they are
      ++i;
      continue;
    }
    if constexpr (std::is_same_v<std::decay_t<OnArgument>, std::nullptr_t>) {
      i += detail::checkOne<false>(tags.substr(i), reader, argument);
    } else {
      i += detail::checkOne<true>(tags.substr(i), reader, argument);
      onArgument(argument);
    }
    ++count;
  }
  argumentCount_ = count;
  argumentsEnd_ = reader.position();
  data_ = bytes.data();
  size_ = bytes.size();
}

}  // namespace tempik::osc
