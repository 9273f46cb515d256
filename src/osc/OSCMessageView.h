#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

#include "osc/BigEndian.h"
#include "osc/ChunkScan.h"
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
class OSCMessageView;

namespace detail {
/// Checks `bytes` as a whole message and fills in `view`. Throws `OSCDecodeError`.
void checkMessage(OSCMessageView& view, std::span<const std::uint8_t> bytes);
}  // namespace detail

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

/// Walks the arguments of a message or the elements of an array that were already checked, so
/// it reads without checking again.
class OSCArgumentIterator {
 public:
  using value_type = OSCArgumentView;
  using difference_type = std::ptrdiff_t;

  OSCArgumentIterator() = default;
  /// Over the payloads of `tags` (a message's skip "," between arguments; an array's do not).
  OSCArgumentIterator(std::string_view tags, std::span<const std::uint8_t> payload, bool skipCommas)
      : tags_(tags),
        next_(payload.data()),
        end_(payload.data() + payload.size()),
        skipCommas_(skipCommas) {
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

  std::string_view tags_;               // the current argument's tags and all after them
  const std::uint8_t* next_ = nullptr;  // just after the current argument's payload
  const std::uint8_t* end_ = nullptr;
  OSCArgumentView current_;
  std::size_t tagCount_ = 0;
  bool skipCommas_ = false;
};

inline OSCArgumentIterator OSCArrayView::begin() const {
  return {tags_, payload_, false};
}

/// A received message read in place: it borrows the bytes it was decoded from (keep them alive
/// as long as the view) and allocates nothing. Decoding checks exactly what the owning
/// `OSCMessage::decode` checks, with the same code and the same `OSCDecodeError` texts, so a
/// view that decodes is walked without further checks.
/// A value; any thread, one at a time per buffer like the buffer itself.
class OSCMessageView {
 public:
  OSCMessageView() = default;

  /// Decodes one message. Throws `OSCDecodeError`.
  static OSCMessageView decode(std::span<const std::uint8_t> bytes) {
    OSCMessageView view;
    detail::checkMessage(view, bytes);
    return view;
  }

  std::string_view addressPattern() const { return text(0, addressLength_); }
  /// The type tag string as received (normally "," and one tag per argument).
  std::string_view typeTags() const { return text(tagsAt_, tagsLength_); }
  /// The number of top-level arguments (an array counts as one).
  std::size_t argumentCount() const { return argumentCount_; }
  /// The bytes the message was decoded from.
  std::span<const std::uint8_t> bytes() const { return {data_, size_}; }
  /// False when bytes follow the last argument (they are ignored).
  bool endsWithLastArgument() const { return argumentsEnd_ == size_; }

  OSCArgumentIterator begin() const {
    const std::size_t argumentsAt = tagsAt_ + tagsLength_ + (4 - tagsLength_ % 4);
    return {typeTags(), bytes().subspan(argumentsAt, argumentsEnd_ - argumentsAt), true};
  }
  std::default_sentinel_t end() const { return {}; }

 private:
  friend class OSCMessage;     // reads its values in the same walk
  friend class OSCPacketView;  // decodes straight into the view it holds
  friend void detail::checkMessage(OSCMessageView& view, std::span<const std::uint8_t> bytes);
  // Checks `bytes` as a whole message and fills in this view. Each top-level argument, once
  // checked, goes to `onArgument` as the type of its kind (one of OSCArgumentView's). Throws
  // `OSCDecodeError`. Defined in "osc/MessageCheck.h".
  template <class OnArgument>
  void check(std::span<const std::uint8_t> bytes, OnArgument&& onArgument);

  std::string_view text(std::size_t at, std::size_t length) const {
    return {reinterpret_cast<const char*>(data_) + at, length};
  }

  // Positions in the bytes rather than views of them: a view this small is cheap to set up.
  const std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t addressLength_ = 0;
  std::size_t tagsAt_ = 0;
  std::size_t tagsLength_ = 0;
  std::size_t argumentsEnd_ = 0;
  std::size_t argumentCount_ = 0;
};

/// Appends an owned copy of `argument` to `values` (any list of `OSCValue`).
template <class Values>
void appendValue(Values& values, const OSCArgumentView& argument);

namespace detail {

template <class Values, class Kind>
void appendOne(Values& values, const Kind& a) {
  if constexpr (std::is_same_v<Kind, std::span<const std::uint8_t>>) {
    values.emplace_back(OSCBlob(a.begin(), a.end()));
  } else if constexpr (std::is_same_v<Kind, OSCStringAltView>) {
    values.emplace_back(OSCStringAltValue{std::string(a.string)});
  } else if constexpr (std::is_same_v<Kind, OSCArrayView>) {
    OSCArrayValue array;
    for (const OSCArgumentView& element : a) appendValue(array.elements, element);
    values.emplace_back(std::move(array));
  } else {
    values.emplace_back(a);
  }
}

}  // namespace detail

template <class Values>
void appendValue(Values& values, const OSCArgumentView& argument) {
  // A switch rather than std::visit, whose call through a table costs more than the copy.
  const auto& a = argument;
  switch (a.index()) {
    case 0:
      return detail::appendOne(values, *std::get_if<0>(&a));
    case 1:
      return detail::appendOne(values, *std::get_if<1>(&a));
    case 2:
      return detail::appendOne(values, *std::get_if<2>(&a));
    case 3:
      return detail::appendOne(values, *std::get_if<3>(&a));
    case 4:
      return detail::appendOne(values, *std::get_if<4>(&a));
    case 5:
      return detail::appendOne(values, *std::get_if<5>(&a));
    case 6:
      return detail::appendOne(values, *std::get_if<6>(&a));
    case 7:
      return detail::appendOne(values, *std::get_if<7>(&a));
    case 8:
      return detail::appendOne(values, *std::get_if<8>(&a));
    case 9:
      return detail::appendOne(values, *std::get_if<9>(&a));
    case 10:
      return detail::appendOne(values, *std::get_if<10>(&a));
    case 11:
      return detail::appendOne(values, *std::get_if<11>(&a));
    case 12:
      return detail::appendOne(values, *std::get_if<12>(&a));
    default:
      return detail::appendOne(values, *std::get_if<13>(&a));
  }
}

namespace detail {

/// Reads the argument that starts `tags` into `out` with every check of the message decoder and
/// moves `reader` past it; returns how many tags it took (an array takes several). Throws
/// `OSCDecodeError` with the value readers' texts.
std::size_t readArgument(std::string_view tags, OSCValueDecoder& reader, OSCArgumentView& out);

/// Reads the array argument that starts `tags` at `p` into `out`, as readArgumentAt does.
void readArrayAt(std::string_view tags, const std::uint8_t* p, const std::uint8_t* end,
                 OSCArgumentView& out, std::size_t& tagCount, const std::uint8_t*& next);

/// Reads the argument that starts `tags` at `p` into `out`, without checking again: readArgument
/// accepted it. `tagCount` and `next` tell how many tags it took and where it ends. (Built in
/// place: copying a variant just built would read back what was only just written.)
inline void readArgumentAt(std::string_view tags, const std::uint8_t* p, const std::uint8_t* end,
                           OSCArgumentView& out, std::size_t& tagCount, const std::uint8_t*& next) {
  // A checked string chunk. The last argument's ends where the arguments end, so only its
  // last group of four needs a look.
  auto text = [p, end, &next, last = tags.size() == 1] {
    if (last) {
      next = end;
      const auto n =
          static_cast<std::size_t>(end - 4 - p) +
          static_cast<std::size_t>(std::countr_zero(zeroMarks(loadLittleEndian32(end - 4))) / 8);
      return std::string_view(reinterpret_cast<const char*>(p), n);
    }
    return std::string_view(reinterpret_cast<const char*>(p), checkedTextLength(p, end, next));
  };
  tagCount = 1;
  next = p;
  switch (tags.front()) {
    case 'i':
      next = p + 4;
      out.emplace<std::int32_t>(static_cast<std::int32_t>(loadBigEndian32(p)));
      return;
    case 'f':
      next = p + 4;
      out.emplace<float>(std::bit_cast<float>(loadBigEndian32(p)));
      return;
    case 's':
      out.emplace<std::string_view>(text());
      return;
    case 'b': {
      const std::size_t n = loadBigEndian32(p);
      next = p + 4 + n + (4 - n % 4) % 4;
      out.emplace<std::span<const std::uint8_t>>(p + 4, n);
      return;
    }
    case 'T':
      out.emplace<bool>(true);
      return;
    case 'F':
      out.emplace<bool>(false);
      return;
    case 'c':
      next = p + 4;
      out.emplace<char32_t>(loadBigEndian32(p));
      return;
    case 'd':
      next = p + 8;
      out.emplace<double>(std::bit_cast<double>(loadBigEndian64(p)));
      return;
    case 'h':
      next = p + 8;
      out.emplace<std::int64_t>(static_cast<std::int64_t>(loadBigEndian64(p)));
      return;
    case 'I':
      out.emplace<OSCImpulseValue>();
      return;
    case 'm':
      next = p + 4;
      out.emplace<OSCMIDIValue>(OSCMIDIValue{p[0], p[1], p[2], p[3]});
      return;
    case 'N':
      out.emplace<OSCNullValue>();
      return;
    case 'S':
      out.emplace<OSCStringAltView>(OSCStringAltView{text()});
      return;
    case 't':
      next = p + 8;
      out.emplace<OSCTimeTag>(loadBigEndian64(p), 0);
      return;
    default:
      readArrayAt(tags, p, end, out, tagCount, next);
  }
}

}  // namespace detail

inline void OSCArgumentIterator::readCurrent() {
  if (skipCommas_) {
    while (!tags_.empty() && (tags_.front() == ',' || tags_.front() == 0)) tags_.remove_prefix(1);
  }
  if (!tags_.empty()) detail::readArgumentAt(tags_, next_, end_, current_, tagCount_, next_);
}

}  // namespace tempik::osc
