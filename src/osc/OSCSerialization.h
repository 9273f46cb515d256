#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "osc/OSCValue.h"
#include "osc/OSCValueDecoder.h"

namespace tempik::osc {

/// How a kind names itself in the type tag string.
struct OSCValueTagIdentity {
  /// The kind always writes this one tag.
  struct Tag {
    char tag;
    friend bool operator==(const Tag&, const Tag&) = default;
  };
  /// The kind writes one of these tags, chosen by the value.
  struct Variable {
    std::string tags;
    friend bool operator==(const Variable&, const Variable&) = default;
  };
  /// The kind writes a run of several tags (arrays).
  struct Variadic {
    std::optional<int> minCount;
    std::optional<int> maxCount;
    friend bool operator==(const Variadic&, const Variadic&) = default;
  };

  std::variant<Tag, Variable, Variadic> identity;

  /// True when a received tag `c` may belong to this kind (a variadic kind may take any).
  bool matches(char c) const;
  friend bool operator==(const OSCValueTagIdentity&, const OSCValueTagIdentity&) = default;
};

/// The three shapes of encoding blocks. Each appends the value's payload to `data` and reports
/// its tag(s); a block may throw `OSCEncodeError`.
struct OSCValueStaticTagEncoder {
  char (*block)(const OSCValue&, std::vector<std::uint8_t>& data);
};
struct OSCValueVariableTagEncoder {
  char (*block)(const OSCValue&, std::vector<std::uint8_t>& data);
};
struct OSCValueVariadicTagEncoder {
  void (*block)(const OSCValue&, std::string& tags, std::vector<std::uint8_t>& data);
};

/// The three shapes of decoding blocks. Each reads one value and appends it to `values`, or
/// throws `OSCDecodeError`. A variadic block gets the remaining tags (starting at its own) and
/// returns how many it consumed, or nothing (appending nothing) when it declines those tags.
struct OSCValueStaticTagDecoder {
  void (*block)(OSCValueDecoder&, OSCValueList& values);
};
struct OSCValueVariableTagDecoder {
  void (*block)(char tag, OSCValueDecoder&, OSCValueList& values);
};
struct OSCValueVariadicTagDecoder {
  std::optional<std::size_t> (*block)(std::string_view tags, OSCValueDecoder&,
                                      OSCValueList& values);
};

/// A kind as the registry knows it: its name, tag identity and blocks. A kind without a
/// usable block holds `std::monostate` there.
struct OSCValueKind {
  std::string_view typeName;
  OSCValueTagIdentity tagIdentity;
  std::variant<std::monostate, OSCValueStaticTagEncoder, OSCValueVariableTagEncoder,
               OSCValueVariadicTagEncoder>
      oscEncoding;
  std::variant<std::monostate, OSCValueStaticTagDecoder, OSCValueVariableTagDecoder,
               OSCValueVariadicTagDecoder>
      oscDecoding;
};

/// The tag registry: the value kinds in the order their decoders are tried for a received tag.
/// `shared()` is filled once, on first use, with the codec's fourteen kinds and is read-only
/// afterwards. Safe to read from any thread; `registerType` is for registries built locally.
class OSCSerialization {
 public:
  /// A registry holding the codec's fourteen kinds.
  OSCSerialization();

  static const OSCSerialization& shared();

  /// Adds a kind after the others. Throws `OSCSerializationError::tagAlreadyRegistered` when
  /// one of its tags is already present (a second variadic kind also collides).
  void registerType(OSCValueKind kind);

  const std::vector<OSCValueKind>& tagIdentities() const { return kinds_; }

  /// The kinds that may decode tag `c`, in registry order.
  std::span<const std::uint16_t> candidates(char c) const {
    const auto index = static_cast<unsigned char>(c);
    return {candidates_[index].data(), candidateCounts_[index]};
  }

  /// Decodes the value whose tag starts `tags`: the tag's first candidate kind reads its payload
  /// from `reader`, and a kind of several tags (an array) that does not match them hands on to
  /// the next candidate. Appends the value to `values`; returns the number of tags consumed.
  /// Throws `OSCDecodeError`.
  std::size_t decodeValue(std::string_view tags, OSCValueDecoder& reader,
                          OSCValueList& values) const;

  /// Encodes one value by its kind's encoder: appends its tag or tags (written as ASCII) to
  /// `tags` and its payload to `data`. Throws `OSCEncodeError`.
  static void encodeValue(const OSCValue& value, std::string& tags,
                          std::vector<std::uint8_t>& data);

 private:
  static constexpr std::size_t kMaxCandidates = 8;
  using Decoding = decltype(OSCValueKind::oscDecoding);
  void rebuildCandidates();

  std::vector<OSCValueKind> kinds_;
  // Per tag, the first candidate's block when it always decodes (a static or variable tag):
  // the common case costs one table read instead of a walk through the candidates.
  std::array<Decoding, 256> firstDecoding_{};
  std::array<std::array<std::uint16_t, kMaxCandidates>, 256> candidates_{};
  std::array<std::uint8_t, 256> candidateCounts_{};
};

}  // namespace tempik::osc
