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

template <class Put>
std::size_t checkArray(std::string_view tags, OSCValueDecoder& r, Put&& put);

// Takes no value: for checking alone.
struct Ignore {
  template <class Kind>
  void operator()(const Kind&) const {}
};

// Checks the argument that starts `tags`, moving `r` past it, and returns how many tags it took;
// `put` gets the argument as the type of its kind (one of OSCArgumentView's). The codec's
// fourteen kinds by tag; any other tag, "]" and "," inside an array included, is one no kind
// decodes. Inline: the message walk is the codec's hottest loop.
template <class Put>
[[gnu::always_inline]] inline std::size_t checkOne(std::string_view tags, OSCValueDecoder& r,
                                                   Put&& put) {
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
      return checkArray(tags, r, put);
    default:
      throw OSCDecodeError::internalInconsistency(
          "No decoder found to decode OSC type tag: " + std::string(1, tag) +
          ". Only decoder types supplied by the codec can be used.");
  }
}

template <class Put>
std::size_t checkArray(std::string_view tags, OSCValueDecoder& r, Put&& put) {
  r.enterArray();
  const std::size_t start = r.position();
  for (std::size_t k = 1; k < tags.size();) {
    if (tags[k] == ']') {
      r.leaveArray();
      put(OSCArrayView(tags.substr(1, k - 1), r.data().subspan(start, r.position() - start)));
      return k + 1;
    }
    k += checkOne(tags.substr(k), r, Ignore{});
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
  for (std::size_t i = 0; i < tags.size();) {
    if (tags[i] == ',' || tags[i] == 0) {  // skipped wherever they are
      ++i;
      continue;
    }
    i += detail::checkOne(tags.substr(i), reader, onArgument);
    ++count;
  }
  argumentCount_ = count;
  argumentsEnd_ = reader.position();
  data_ = bytes.data();
  size_ = bytes.size();
}

}  // namespace tempik::osc
