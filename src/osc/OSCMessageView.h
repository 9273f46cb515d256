#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <span>
#include <string_view>
#include <variant>

#include "osc/OSCTimeTag.h"
#include "osc/OSCValue.h"
#include "osc/OSCValueDecoder.h"

namespace tempik::osc {

/// Kind "S" read in place.
struct OSCStringAltView {
  std::string_view string;
  friend constexpr bool operator==(OSCStringAltView, OSCStringAltView) = default;
};

class OSCArgumentIterator;

/// An array argument read in place: the tags between its brackets and its elements' payloads.
/// Iterating gives each element as an `OSCArgumentView`.
class OSCArrayView {
 public:
  OSCArrayView() = default;
  OSCArrayView(std::string_view tags, std::span<const std::uint8_t> payload)
      : tags_(tags), payload_(payload) {}

  std::string_view tags() const { return tags_; }
  OSCArgumentIterator begin() const;
  std::default_sentinel_t end() const { return {}; }

 private:
  std::string_view tags_;
  std::span<const std::uint8_t> payload_;
};

/// One argument read in place, in the kinds' order: int32 "i", float32 "f", string "s" (its
/// ASCII text), blob "b" (its bytes), bool "T"/"F", character "c", double "d", int64 "h",
/// impulse "I", MIDI "m", null "N", string-alt "S", time tag "t", array. Text and bytes point
/// into the received buffer.
using OSCArgumentView =
    std::variant<std::int32_t, float, std::string_view, std::span<const std::uint8_t>, bool,
                 char32_t, double, std::int64_t, OSCImpulseValue, OSCMIDIValue, OSCNullValue,
                 OSCStringAltView, OSCTimeTag, OSCArrayView>;

/// Walks the arguments of a message or the elements of an array that were already checked.
class OSCArgumentIterator {
 public:
  using value_type = OSCArgumentView;
  using difference_type = std::ptrdiff_t;

  OSCArgumentIterator() = default;
  /// Over the payloads of `tags` (a message's skip "," between arguments; an array's do not).
  OSCArgumentIterator(std::string_view tags, std::span<const std::uint8_t> payload, bool skipCommas)
      : tags_(tags), reader_(payload), skipCommas_(skipCommas) {
    readCurrent();
  }

  const OSCArgumentView& operator*() const { return current_; }
  const OSCArgumentView* operator->() const { return &current_; }
  OSCArgumentIterator& operator++() {
    tags_.remove_prefix(tagCount_);
    readCurrent();
    return *this;
  }
  void operator++(int) { ++*this; }
  friend bool operator==(const OSCArgumentIterator& it, std::default_sentinel_t) {
    return it.tags_.empty();
  }

 private:
  void readCurrent();

  std::string_view tags_;       // the current argument's tags and all after them
  OSCValueDecoder reader_{{}};  // just after the current argument's payload
  OSCArgumentView current_;
  std::size_t tagCount_ = 0;
  bool skipCommas_ = false;
};

inline OSCArgumentIterator OSCArrayView::begin() const {
  return {tags_, payload_, false};
}

/// A received message read in place: it borrows the bytes it was decoded from (keep them alive
/// as long as the view) and allocates nothing. Decoding checks exactly what the owning
/// `OSCMessage::decode` checks and fails with the same `OSCDecodeError` texts, so every view
/// that decodes can be walked without further checks.
/// A value; any thread, one at a time per buffer like the buffer itself.
class OSCMessageView {
 public:
  OSCMessageView() = default;

  /// Decodes one message. Throws `OSCDecodeError`.
  static OSCMessageView decode(std::span<const std::uint8_t> bytes);

  std::string_view addressPattern() const { return address_; }
  /// The type tag string as received (normally "," and one tag per argument).
  std::string_view typeTags() const { return tags_; }
  /// The number of top-level arguments (an array counts as one).
  std::size_t argumentCount() const { return argumentCount_; }
  /// The bytes the message was decoded from.
  std::span<const std::uint8_t> bytes() const { return bytes_; }

  OSCArgumentIterator begin() const { return {tags_, bytes_.subspan(argumentsAt_), true}; }
  std::default_sentinel_t end() const { return {}; }

 private:
  std::span<const std::uint8_t> bytes_;
  std::string_view address_;
  std::string_view tags_;
  std::size_t argumentsAt_ = 0;
  std::size_t argumentCount_ = 0;
};

/// Appends an owned copy of `argument` to `values` (any list of `OSCValue`).
template <class Values>
void appendValue(Values& values, const OSCArgumentView& argument) {
  std::visit(
      [&values](const auto& a) {
        using A = std::decay_t<decltype(a)>;
        if constexpr (std::is_same_v<A, std::span<const std::uint8_t>>) {
          values.emplace_back(OSCBlob(a.begin(), a.end()));
        } else if constexpr (std::is_same_v<A, OSCStringAltView>) {
          values.emplace_back(OSCStringAltValue{std::string(a.string)});
        } else if constexpr (std::is_same_v<A, OSCArrayView>) {
          OSCArrayValue array;
          for (const OSCArgumentView& element : a) appendValue(array.elements, element);
          values.emplace_back(std::move(array));
        } else {
          values.emplace_back(a);
        }
      },
      argument);
}

/// An owned copy of `argument`.
OSCValue toValue(const OSCArgumentView& argument);

namespace detail {

/// A message's address and type tag string, read with the message decoder's checks and texts;
/// leaves `reader` at the first argument.
struct MessageHead {
  std::string_view address;
  std::string_view tags;
};
MessageHead readMessageHead(OSCValueDecoder& reader);

/// Reads the argument that starts `tags` (an array takes several tags; `tagCount` tells how
/// many). Throws `OSCDecodeError` with the value readers' texts.
OSCArgumentView readArgument(std::string_view tags, OSCValueDecoder& reader, std::size_t& tagCount);

/// Reads every argument of a message in tag order, skipping "," tags, handing each to
/// `onArgument`. Throws `OSCDecodeError`.
template <class OnArgument>
void readArguments(std::string_view tags, OSCValueDecoder& reader, OnArgument&& onArgument) {
  for (std::size_t i = 0; i < tags.size();) {
    if (tags[i] == ',' || tags[i] == 0) {
      ++i;
      continue;
    }
    std::size_t tagCount = 0;
    onArgument(readArgument(tags.substr(i), reader, tagCount));
    i += tagCount;
  }
}

}  // namespace detail

}  // namespace tempik::osc
