#pragma once

#include <bit>
#include <compare>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <variant>
#include <vector>

#include <boost/container/small_vector.hpp>

#include "osc/OSCTimeTag.h"

namespace tempik::osc {

class OSCValue;

namespace detail {

// The fixed-width integer type of a host integer type's width and signedness.
template <std::size_t Bytes, bool Signed>
using FixedWidth = std::tuple_element_t<
    std::bit_width(Bytes) - 1,
    std::conditional_t<Signed, std::tuple<std::int8_t, std::int16_t, std::int32_t, std::int64_t>,
                       std::tuple<std::uint8_t, std::uint16_t, std::uint32_t, std::uint64_t>>>;

// Integer types that are numbers: not bool and not the character types.
template <class T>
concept HostInteger = std::integral<T> && !std::same_as<T, bool> && !std::same_as<T, char> &&
                      !std::same_as<T, wchar_t> && !std::same_as<T, char8_t> &&
                      !std::same_as<T, char16_t> && !std::same_as<T, char32_t>;

// The compiler's 16-bit float, where it has one.
#if defined(__FLT16_MAX__)
template <class T>
concept HalfFloat = std::same_as<T, _Float16>;
#else
template <class T>
concept HalfFloat = false;
#endif

}  // namespace detail

/// Kind "b": a byte string.
using OSCBlob = std::vector<std::uint8_t>;

/// Kind "I": an impulse ("bang"), no payload.
struct OSCImpulseValue {
  friend constexpr bool operator==(OSCImpulseValue, OSCImpulseValue) = default;
};

/// Kind "N": null, no payload.
struct OSCNullValue {
  friend constexpr bool operator==(OSCNullValue, OSCNullValue) = default;
};

/// Kind "m": a four-byte MIDI message.
struct OSCMIDIValue {
  std::uint8_t portID = 0;
  std::uint8_t status = 0;
  std::uint8_t data1 = 0;
  std::uint8_t data2 = 0;
  friend constexpr bool operator==(const OSCMIDIValue&, const OSCMIDIValue&) = default;
};

/// Kind "S": a string sent under the alternate tag.
struct OSCStringAltValue {
  std::string string;
  friend bool operator==(const OSCStringAltValue&, const OSCStringAltValue&) = default;
};

/// The variadic kind: "[", the elements' tags, "]"; elements may nest.
struct OSCArrayValue {
  std::vector<OSCValue> elements;
  friend bool operator==(const OSCArrayValue& a, const OSCArrayValue& b);
};

/// One OSC argument: a value of one of the fourteen kinds (int32 "i", float32 "f", string "s",
/// blob "b", bool "T"/"F", character "c", double "d", int64 "h", impulse "I", MIDI "m",
/// null "N", string-alt "S", time tag "t", array), or a host number type that encodes as one
/// of them and is never produced by decoding. Any integer type is taken by its width, not its
/// name (`long`, `long long` and `std::ptrdiff_t` are all 64-bit signed here): signed 8 to 32
/// bits go out as "i", 64 bits as "h"; unsigned 8 and 16 bits as "i", 32 and 64 bits as "h".
/// A 16-bit float is widened to "f". Strings hold UTF-8 text; it is made ASCII (lossily) when
/// encoded. An immutable value; safe to hand between threads.
class OSCValue {
 public:
  using Storage = std::variant<
      std::int32_t, float, std::string, OSCBlob, bool, char32_t, double, std::int64_t,
      OSCImpulseValue, OSCMIDIValue, OSCNullValue, OSCStringAltValue, OSCTimeTag, OSCArrayValue,
      // Host number types, encoded as one of the kinds above.
      std::int8_t, std::int16_t, std::uint8_t, std::uint16_t, std::uint32_t, std::uint64_t>;

  /// Any integer type, stored as the fixed-width type of its width and signedness.
  template <detail::HostInteger Integer>
  OSCValue(Integer v)  // NOLINT: implicit, values are written as literals
      : storage_(std::in_place_type<detail::FixedWidth<sizeof(Integer), std::is_signed_v<Integer>>>,
                 v) {}
  OSCValue(float v) : storage_(v) {}  // NOLINT
  /// A 16-bit float, widened: it goes out as "f".
  template <detail::HalfFloat Half>
  OSCValue(Half v) : storage_(static_cast<float>(v)) {}                                 // NOLINT
  OSCValue(std::string v) : storage_(std::move(v)) {}                                   // NOLINT
  OSCValue(std::string_view v) : storage_(std::in_place_type<std::string>, v) {}        // NOLINT
  OSCValue(const char* v) : storage_(std::in_place_type<std::string>, v) {}             // NOLINT
  OSCValue(OSCBlob v) : storage_(std::move(v)) {}                                       // NOLINT
  OSCValue(bool v) : storage_(v) {}                                                     // NOLINT
  OSCValue(char v) : storage_(static_cast<char32_t>(static_cast<unsigned char>(v))) {}  // NOLINT
  OSCValue(char32_t v) : storage_(v) {}                                                 // NOLINT
  OSCValue(double v) : storage_(v) {}                                                   // NOLINT
  OSCValue(OSCImpulseValue v) : storage_(v) {}                                          // NOLINT
  OSCValue(OSCMIDIValue v) : storage_(v) {}                                             // NOLINT
  OSCValue(OSCNullValue v) : storage_(v) {}                                             // NOLINT
  OSCValue(OSCStringAltValue v) : storage_(std::move(v)) {}                             // NOLINT
  OSCValue(OSCTimeTag v) : storage_(v) {}                                               // NOLINT
  OSCValue(OSCArrayValue v) : storage_(std::move(v)) {}                                 // NOLINT

  /// The value as the kind `K`, or null when it is another kind.
  template <class K>
  const K* getIf() const {
    return std::get_if<K>(&storage_);
  }
  template <class K>
  bool holds() const {
    return std::holds_alternative<K>(storage_);
  }
  /// The text of a string ("s") argument, or null.
  const std::string* stringValue() const { return getIf<std::string>(); }
  const Storage& storage() const { return storage_; }

  /// The value's own text: numbers and strings as themselves, "true"/"false", "Impulse",
  /// "Null", "MIDI(portID: 0x.., ...)", arrays as a bracketed list.
  std::string description() const;
  /// The kind's unqualified type name, e.g. "Int32", "String", "OSCArrayValue".
  std::string_view typeName() const;

  friend bool operator==(const OSCValue&, const OSCValue&) = default;

 private:
  Storage storage_;
};

/// A message's argument values. Up to eight live inside the list itself, so decoding a typical
/// message allocates nothing for the list (array elements stay a `std::vector`, which may hold
/// its own, still incomplete, kind).
using OSCValueList = boost::container::small_vector<OSCValue, 8>;

/// The bracketed, comma-separated descriptions of `values`.
std::string describe(std::span<const OSCValue> values);

}  // namespace tempik::osc
