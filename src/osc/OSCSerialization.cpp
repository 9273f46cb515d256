#include "osc/OSCSerialization.h"

#include <limits>

#include "osc/ASCIIString.h"
#include "osc/BigEndian.h"
#include "osc/OSCErrors.h"
#include "osc/OSCMessageView.h"

namespace tempik::osc {
namespace {

using Bytes = std::vector<std::uint8_t>;

template <class K>
const K& as(const OSCValue& value) {
  return *value.getIf<K>();
}

bool isPrintable(std::string_view text) {
  bool printable = true;
  for (const char c : text) printable &= c >= 0x20 && c <= 0x7E;
  return printable;
}

// Strings go out lossily converted to printable ASCII, then zero-padded to a multiple of 4
// with at least one zero.
void appendStringChunk(Bytes& data, const std::string& text) {
  auto append = [&data](std::string_view ascii) {
    data.insert(data.end(), ascii.begin(), ascii.end());
    appendZeros(data, 4 - ascii.size() % 4);
  };
  if (isPrintable(text)) {
    append(text);
  } else {
    append(ASCIIString::lossy(text).stringValue());
  }
}

int arrayDepth(const OSCArrayValue& array, int limit) {
  int deepest = 0;
  for (const OSCValue& element : array.elements) {
    if (const auto* nested = element.getIf<OSCArrayValue>()) {
      deepest = std::max(deepest, arrayDepth(*nested, limit - 1));
      if (deepest >= limit) break;
    }
  }
  return deepest + 1;
}

// The codec's fourteen kinds, in the order their decoders are tried.

char encodeInt32(const OSCValue& v, Bytes& data) {
  appendBigEndian32(data, static_cast<std::uint32_t>(as<std::int32_t>(v)));
  return 'i';
}
char encodeFloat32(const OSCValue& v, Bytes& data) {
  appendBigEndian32(data, std::bit_cast<std::uint32_t>(as<float>(v)));
  return 'f';
}
char encodeString(const OSCValue& v, Bytes& data) {
  appendStringChunk(data, as<std::string>(v));
  return 's';
}
char encodeBlob(const OSCValue& v, Bytes& data) {
  const OSCBlob& blob = as<OSCBlob>(v);
  if (blob.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    throw OSCEncodeError::valueEncodingError("Blob of " + std::to_string(blob.size()) +
                                             " bytes is too long; its length must be below 2^31.");
  }
  appendBigEndian32(data, static_cast<std::uint32_t>(blob.size()));
  data.insert(data.end(), blob.begin(), blob.end());
  // As every OSC 1.0 peer writes it: no padding when the length is already a multiple of 4.
  appendZeros(data, (4 - blob.size() % 4) % 4);
  return 'b';
}
char encodeBool(const OSCValue& v, Bytes&) {
  return as<bool>(v) ? 'T' : 'F';
}
char encodeCharacter(const OSCValue& v, Bytes& data) {
  appendBigEndian32(data, ASCIICharacter::lossy(as<char32_t>(v)).asciiValue());
  return 'c';
}
char encodeDouble(const OSCValue& v, Bytes& data) {
  appendBigEndian64(data, std::bit_cast<std::uint64_t>(as<double>(v)));
  return 'd';
}
char encodeInt64(const OSCValue& v, Bytes& data) {
  appendBigEndian64(data, static_cast<std::uint64_t>(as<std::int64_t>(v)));
  return 'h';
}
char encodeImpulse(const OSCValue&, Bytes&) {
  return 'I';
}
char encodeMIDI(const OSCValue& v, Bytes& data) {
  const OSCMIDIValue& m = as<OSCMIDIValue>(v);
  data.insert(data.end(), {m.portID, m.status, m.data1, m.data2});
  return 'm';
}
char encodeNull(const OSCValue&, Bytes&) {
  return 'N';
}
char encodeStringAlt(const OSCValue& v, Bytes& data) {
  appendStringChunk(data, as<OSCStringAltValue>(v).string);
  return 'S';
}
char encodeTimeTag(const OSCValue& v, Bytes& data) {
  appendBigEndian64(data, as<OSCTimeTag>(v).rawValue);
  return 't';
}
void encodeArray(const OSCValue& v, std::string& tags, Bytes& data) {
  const OSCArrayValue& array = as<OSCArrayValue>(v);
  if (arrayDepth(array, OSCValueDecoder::kMaxArrayDepth + 1) > OSCValueDecoder::kMaxArrayDepth) {
    throw OSCEncodeError::valueEncodingError("Arrays are nested deeper than " +
                                             std::to_string(OSCValueDecoder::kMaxArrayDepth) +
                                             " levels.");
  }
  tags.push_back('[');
  for (const OSCValue& element : array.elements) OSCSerialization::encodeValue(element, tags, data);
  tags.push_back(']');
}

// Host number types: written as one of the kinds, never produced by decoding.
template <class Integer>
char encodeWidenedToInt32(const OSCValue& v, Bytes& data) {
  appendBigEndian32(data, static_cast<std::uint32_t>(static_cast<std::int32_t>(as<Integer>(v))));
  return 'i';
}
char encodeUInt32(const OSCValue& v, Bytes& data) {
  appendBigEndian64(data, as<std::uint32_t>(v));
  return 'h';
}
char encodeUInt64(const OSCValue& v, Bytes& data) {
  const std::uint64_t value = as<std::uint64_t>(v);
  if (value > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
    throw OSCEncodeError::valueEncodingError("UInt64 value " + std::to_string(value) +
                                             " is above the Int64 maximum and cannot be encoded.");
  }
  appendBigEndian64(data, value);
  return 'h';
}

// The fixed kinds are checked and read by the same code as whole messages and their views.
void decodeTag(std::string_view tag, OSCValueDecoder& r, OSCValueList& values) {
  OSCArgumentView argument;
  detail::readArgument(tag, r, argument);
  appendValue(values, argument);
}
template <char Tag>
void decodeKind(OSCValueDecoder& r, OSCValueList& values) {
  static constexpr char tag[1] = {Tag};
  decodeTag({tag, 1}, r, values);
}
void decodeBool(char tag, OSCValueDecoder& r, OSCValueList& values) {
  if (tag != 'T' && tag != 'F') throw OSCDecodeError::unexpectedType(tag);
  decodeTag({&tag, 1}, r, values);
}

std::optional<std::size_t> decodeArray(std::string_view tags, OSCValueDecoder& r,
                                       OSCValueList& values) {
  if (tags.empty() || tags[0] != '[') return std::nullopt;
  const OSCSerialization& registry = r.context() ? *r.context() : OSCSerialization::shared();
  r.enterArray();
  const std::string_view inner = tags.substr(1);
  OSCValueList elements;
  std::size_t k = 0;
  while (k < inner.size()) {
    if (inner[k] == ']') {
      r.leaveArray();
      values.emplace_back(OSCArrayValue{
          {std::make_move_iterator(elements.begin()), std::make_move_iterator(elements.end())}});
      return k + 2;
    }
    k += registry.decodeValue(inner.substr(k), r, elements);
  }
  throw OSCDecodeError::malformed("Array termination tag ']' was not found.");
}

using Tag = OSCValueTagIdentity::Tag;
using Variable = OSCValueTagIdentity::Variable;
using Variadic = OSCValueTagIdentity::Variadic;

std::vector<OSCValueKind> codecKinds() {
  return {
      {"Int32",
       {Tag{'i'}},
       OSCValueStaticTagEncoder{encodeInt32},
       OSCValueStaticTagDecoder{decodeKind<'i'>}},
      {"Float32",
       {Tag{'f'}},
       OSCValueStaticTagEncoder{encodeFloat32},
       OSCValueStaticTagDecoder{decodeKind<'f'>}},
      {"String",
       {Tag{'s'}},
       OSCValueStaticTagEncoder{encodeString},
       OSCValueStaticTagDecoder{decodeKind<'s'>}},
      {"Blob",
       {Tag{'b'}},
       OSCValueStaticTagEncoder{encodeBlob},
       OSCValueStaticTagDecoder{decodeKind<'b'>}},
      {"Bool",
       {Variable{"TF"}},
       OSCValueVariableTagEncoder{encodeBool},
       OSCValueVariableTagDecoder{decodeBool}},
      {"Character",
       {Tag{'c'}},
       OSCValueStaticTagEncoder{encodeCharacter},
       OSCValueStaticTagDecoder{decodeKind<'c'>}},
      {"Double",
       {Tag{'d'}},
       OSCValueStaticTagEncoder{encodeDouble},
       OSCValueStaticTagDecoder{decodeKind<'d'>}},
      {"Int64",
       {Tag{'h'}},
       OSCValueStaticTagEncoder{encodeInt64},
       OSCValueStaticTagDecoder{decodeKind<'h'>}},
      {"OSCImpulseValue",
       {Tag{'I'}},
       OSCValueStaticTagEncoder{encodeImpulse},
       OSCValueStaticTagDecoder{decodeKind<'I'>}},
      {"OSCMIDIValue",
       {Tag{'m'}},
       OSCValueStaticTagEncoder{encodeMIDI},
       OSCValueStaticTagDecoder{decodeKind<'m'>}},
      {"OSCNullValue",
       {Tag{'N'}},
       OSCValueStaticTagEncoder{encodeNull},
       OSCValueStaticTagDecoder{decodeKind<'N'>}},
      {"OSCStringAltValue",
       {Tag{'S'}},
       OSCValueStaticTagEncoder{encodeStringAlt},
       OSCValueStaticTagDecoder{decodeKind<'S'>}},
      {"OSCTimeTag",
       {Tag{'t'}},
       OSCValueStaticTagEncoder{encodeTimeTag},
       OSCValueStaticTagDecoder{decodeKind<'t'>}},
      {"OSCArrayValue",
       {Variadic{}},
       OSCValueVariadicTagEncoder{encodeArray},
       OSCValueVariadicTagDecoder{decodeArray}},
  };
}

// The encoding block of each alternative of OSCValue::Storage, in its order: the fourteen
// kinds, then the host number types.
using EncodingBlock = decltype(OSCValueKind::oscEncoding);
const std::array<EncodingBlock, std::variant_size_v<OSCValue::Storage>>& encodingBlocks() {
  static const auto blocks = [] {
    std::array<EncodingBlock, std::variant_size_v<OSCValue::Storage>> table{};
    const std::vector<OSCValueKind> kinds = codecKinds();
    for (std::size_t i = 0; i < kinds.size(); ++i) table[i] = kinds[i].oscEncoding;
    table[14] = OSCValueStaticTagEncoder{encodeWidenedToInt32<std::int8_t>};
    table[15] = OSCValueStaticTagEncoder{encodeWidenedToInt32<std::int16_t>};
    table[16] = OSCValueStaticTagEncoder{encodeWidenedToInt32<std::uint8_t>};
    table[17] = OSCValueStaticTagEncoder{encodeWidenedToInt32<std::uint16_t>};
    table[18] = OSCValueStaticTagEncoder{encodeUInt32};
    table[19] = OSCValueStaticTagEncoder{encodeUInt64};
    return table;
  }();
  return blocks;
}

bool collides(const OSCValueTagIdentity& a, const OSCValueTagIdentity& b) {
  auto tagsOf = [](const OSCValueTagIdentity& id) -> std::string {
    if (const auto* t = std::get_if<Tag>(&id.identity)) return std::string(1, t->tag);
    if (const auto* v = std::get_if<Variable>(&id.identity)) return v->tags;
    return {};
  };
  const bool aVariadic = std::holds_alternative<Variadic>(a.identity);
  const bool bVariadic = std::holds_alternative<Variadic>(b.identity);
  if (aVariadic || bVariadic) return aVariadic && bVariadic;
  const std::string bTags = tagsOf(b);
  for (const char c : tagsOf(a)) {
    if (bTags.find(c) != std::string::npos) return true;
  }
  return false;
}

}  // namespace

bool OSCValueTagIdentity::matches(char c) const {
  if (const auto* t = std::get_if<Tag>(&identity)) return t->tag == c;
  if (const auto* v = std::get_if<Variable>(&identity)) return v->tags.find(c) != std::string::npos;
  return true;
}

OSCSerialization::OSCSerialization() : kinds_(codecKinds()) {
  rebuildCandidates();
}

const OSCSerialization& OSCSerialization::shared() {
  static const OSCSerialization registry;
  return registry;
}

void OSCSerialization::registerType(OSCValueKind kind) {
  for (const OSCValueKind& existing : kinds_) {
    if (collides(existing.tagIdentity, kind.tagIdentity)) {
      throw OSCSerializationError(OSCSerializationError::Case::tagAlreadyRegistered);
    }
  }
  kinds_.push_back(std::move(kind));
  rebuildCandidates();
}

void OSCSerialization::rebuildCandidates() {
  candidateCounts_.fill(0);
  firstDecoding_.fill({});
  for (int c = 0; c < 256; ++c) {
    for (std::size_t k = 0; k < kinds_.size(); ++k) {
      // Tags never collide and only one kind is variadic, so a tag has at most two candidates.
      if (kinds_[k].tagIdentity.matches(static_cast<char>(c)) &&
          candidateCounts_[c] < kMaxCandidates) {
        candidates_[c][candidateCounts_[c]++] = static_cast<std::uint16_t>(k);
      }
    }
    if (candidateCounts_[c] > 0) {
      const Decoding& first = kinds_[candidates_[c][0]].oscDecoding;
      if (first.index() == 1 || first.index() == 2) firstDecoding_[c] = first;
    }
  }
}

std::size_t OSCSerialization::decodeValue(std::string_view tags, OSCValueDecoder& reader,
                                          OSCValueList& values) const {
  const char c = tags.front();
  const Decoding& first = firstDecoding_[static_cast<unsigned char>(c)];
  if (const auto* fixed = std::get_if<OSCValueStaticTagDecoder>(&first)) {
    fixed->block(reader, values);
    return 1;
  }
  if (const auto* variable = std::get_if<OSCValueVariableTagDecoder>(&first)) {
    variable->block(c, reader, values);
    return 1;
  }
  const auto candidateKinds = candidates(c);
  if (candidateKinds.empty()) {
    throw OSCDecodeError::malformed("No concrete type found to decode OSC type tag: " +
                                    std::string(1, c));
  }
  for (const std::uint16_t k : candidateKinds) {
    const auto& decoding = kinds_[k].oscDecoding;
    switch (decoding.index()) {
      case 1:
        std::get<1>(decoding).block(reader, values);
        return 1;
      case 2:
        std::get<2>(decoding).block(c, reader, values);
        return 1;
      case 3:
        if (const auto consumed = std::get<3>(decoding).block(tags, reader, values)) {
          return *consumed;
        }
        break;
      default:
        throw OSCDecodeError::malformed("No decoder is implemented for OSC type tag: " +
                                        std::string(1, c));
    }
  }
  throw OSCDecodeError::internalInconsistency(
      "No decoder found to decode OSC type tag: " + std::string(1, c) +
      ". Only decoder types supplied by the codec can be used.");
}

void OSCSerialization::encodeValue(const OSCValue& value, std::string& tags, Bytes& data) {
  // Tags are written as ASCII characters (the lossy rule, for any a block might return).
  auto asciiTag = [](char tag) {
    return static_cast<unsigned char>(tag) <= 0x7F
               ? tag
               : ASCIICharacter::lossy(static_cast<char32_t>(static_cast<unsigned char>(tag)))
                     .characterValue();
  };
  const EncodingBlock& block = encodingBlocks()[value.storage().index()];
  switch (block.index()) {
    case 1:
      tags.push_back(asciiTag(std::get<1>(block).block(value, data)));
      return;
    case 2:
      tags.push_back(asciiTag(std::get<2>(block).block(value, data)));
      return;
    case 3: {
      const std::size_t first = tags.size();
      std::get<3>(block).block(value, tags, data);
      for (std::size_t i = first; i < tags.size(); ++i) tags[i] = asciiTag(tags[i]);
      return;
    }
    default:
      throw OSCEncodeError::internalInconsistency(
          "Unexpected encoder: " + std::string(value.typeName()) +
          ". Only encoder types supplied by the codec can be used.");
  }
}

}  // namespace tempik::osc
