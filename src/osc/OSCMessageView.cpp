#include "osc/OSCMessageView.h"

#include <string>

#include "osc/OSCErrors.h"

namespace tempik::osc {
namespace {

template <class Kind>
OSCArgumentView argument(Kind value) {
  return OSCArgumentView(std::in_place_type<Kind>, value);
}

std::string_view readText(OSCValueDecoder& r) {
  bool printable = true;
  const std::string_view text = r.read4ByteAlignedNullTerminatedASCIIView(printable);
  if (!printable) r.markNotReencodable();  // the encoder would replace the control characters
  return text;
}

char32_t readCharacter(OSCValueDecoder& r) {
  const std::int32_t code = r.readInt32();
  if (code < 0 || code > 0x7F) {
    throw OSCDecodeError::malformed(
        "Character value couldn't be read. Could not form a Unicode scalar from the value.");
  }
  return static_cast<char32_t>(code);
}

OSCArgumentView readArray(std::string_view tags, OSCValueDecoder& r, std::size_t& tagCount) {
  r.enterArray();
  const std::string_view inner = tags.substr(1);
  const std::size_t start = r.position();
  for (std::size_t k = 0; k < inner.size();) {
    if (inner[k] == ']') {
      r.leaveArray();
      tagCount = k + 2;
      return OSCArrayView(inner.substr(0, k), r.data().subspan(start, r.position() - start));
    }
    std::size_t elementTags = 0;
    detail::readArgument(inner.substr(k), r, elementTags);
    k += elementTags;
  }
  throw OSCDecodeError::malformed("Array termination tag ']' was not found.");
}

}  // namespace

namespace detail {

MessageHead readMessageHead(OSCValueDecoder& reader) {
  const auto bytes = reader.data();
  if (bytes.size() % 4 != 0) throw OSCDecodeError::malformed("Length not a multiple of 4 bytes.");
  if (bytes.empty() || bytes[0] != '/') {
    throw OSCDecodeError::malformed("Does not start with an address pattern.");
  }
  MessageHead head;
  try {
    head.address = reader.read4ByteAlignedNullTerminatedASCIIView();
  } catch (const OSCDecodeError&) {
    throw OSCDecodeError::malformed("Address pattern string could not be parsed.");
  }
  try {
    head.tags = reader.read4ByteAlignedNullTerminatedASCIIView();
  } catch (const OSCDecodeError&) {
    throw OSCDecodeError::malformed("Couldn't extract OSC-type chunk.");
  }
  return head;
}

// The codec's fourteen kinds by tag. Any other tag, "]" and "," inside an array included, is
// one no kind decodes.
OSCArgumentView readArgument(std::string_view tags, OSCValueDecoder& r, std::size_t& tagCount) {
  tagCount = 1;
  const char tag = tags.front();
  switch (tag) {
    case 'i':
      return argument(r.readInt32());
    case 'f':
      return argument(r.readFloat32());
    case 's':
      return argument(readText(r));
    case 'b':
      return argument(r.readBlob());
    case 'T':
      return argument(true);
    case 'F':
      return argument(false);
    case 'c':
      return argument(readCharacter(r));
    case 'd':
      return argument(r.readDouble());
    case 'h':
      return argument(r.readInt64());
    case 'I':
      return argument(OSCImpulseValue{});
    case 'm': {
      const auto b = r.read(4);
      return argument(OSCMIDIValue{b[0], b[1], b[2], b[3]});
    }
    case 'N':
      return argument(OSCNullValue{});
    case 'S':
      return argument(OSCStringAltView{readText(r)});
    case 't':
      return argument(OSCTimeTag(r.readUInt64(), 0));
    case '[':
      return readArray(tags, r, tagCount);
    default:
      throw OSCDecodeError::internalInconsistency(
          "No decoder found to decode OSC type tag: " + std::string(1, tag) +
          ". Only decoder types supplied by the codec can be used.");
  }
}

}  // namespace detail

void OSCArgumentIterator::readCurrent() {
  if (skipCommas_) {
    while (!tags_.empty() && (tags_.front() == ',' || tags_.front() == 0)) tags_.remove_prefix(1);
  }
  // The message was checked when decoded, so reading again cannot fail.
  if (!tags_.empty()) current_ = detail::readArgument(tags_, reader_, tagCount_);
}

OSCMessageView OSCMessageView::decode(std::span<const std::uint8_t> bytes) {
  OSCValueDecoder reader(bytes);
  const detail::MessageHead head = detail::readMessageHead(reader);
  OSCMessageView view;
  view.bytes_ = bytes;
  view.address_ = head.address;
  view.tags_ = head.tags;
  view.argumentsAt_ = reader.position();
  detail::readArguments(head.tags, reader,
                        [&view](const OSCArgumentView&) { ++view.argumentCount_; });
  return view;
}

OSCValue toValue(const OSCArgumentView& argument) {
  OSCValueList values;
  appendValue(values, argument);
  return std::move(values.front());
}

}  // namespace tempik::osc
