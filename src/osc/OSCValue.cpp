#include "osc/OSCValue.h"

#include <array>
#include <charconv>
#include <cstdio>

#include "osc/ASCIIString.h"
#include "osc/UTF8.h"

namespace tempik::osc {
namespace {

template <class Float>
std::string shortest(Float v) {
  std::array<char, 64> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), v);
  return std::string(buffer.data(), result.ptr);
}

std::string hexByte(std::uint8_t b) {
  std::array<char, 5> text{};
  std::snprintf(text.data(), text.size(), "0x%02X", b);
  return text.data();
}

struct Describer {
  std::string operator()(std::int32_t v) const { return std::to_string(v); }
  std::string operator()(float v) const { return shortest(v); }
  std::string operator()(const std::string& v) const { return v; }
  std::string operator()(const OSCBlob& v) const { return std::to_string(v.size()) + " bytes"; }
  std::string operator()(bool v) const { return v ? "true" : "false"; }
  std::string operator()(char32_t v) const { return utf8(v); }
  std::string operator()(double v) const { return shortest(v); }
  std::string operator()(std::int64_t v) const { return std::to_string(v); }
  std::string operator()(OSCImpulseValue) const { return "Impulse"; }
  std::string operator()(const OSCMIDIValue& v) const {
    return "MIDI(portID: " + hexByte(v.portID) + ", status: " + hexByte(v.status) +
           ", data1: " + hexByte(v.data1) + ", data2: " + hexByte(v.data2) + ")";
  }
  std::string operator()(OSCNullValue) const { return "Null"; }
  std::string operator()(const OSCStringAltValue& v) const { return v.string; }
  std::string operator()(const OSCTimeTag& v) const { return v.description(); }
  std::string operator()(const OSCArrayValue& v) const { return describe(v.elements); }
  template <class Integer>
  std::string operator()(Integer v) const {
    return std::to_string(v);
  }
};

constexpr std::array<std::string_view, std::variant_size_v<OSCValue::Storage>> kTypeNames = {
    "Int32",        "Float32",       "String",
    "Blob",         "Bool",          "Character",
    "Double",       "Int64",         "OSCImpulseValue",
    "OSCMIDIValue", "OSCNullValue",  "OSCStringAltValue",
    "OSCTimeTag",   "OSCArrayValue", "Int8",
    "Int16",        "UInt8",         "UInt16",
    "UInt32",       "UInt64"};

}  // namespace

bool operator==(const OSCArrayValue& a, const OSCArrayValue& b) {
  return a.elements == b.elements;
}

std::string OSCValue::description() const {
  return std::visit(Describer{}, storage_);
}

std::string_view OSCValue::typeName() const {
  return kTypeNames[storage_.index()];
}

std::string describe(std::span<const OSCValue> values) {
  std::string text = "[";
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) text += ", ";
    text += values[i].description();
  }
  return text + "]";
}

}  // namespace tempik::osc
