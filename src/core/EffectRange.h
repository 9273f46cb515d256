#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tempik::core {

/// The value of one effect number as the operator typed it (one to four digits, optionally
/// a point and one to three decimals), or nothing when the token is malformed or not above
/// zero.
[[nodiscard]] std::optional<double> parseEffectNumber(std::string_view token);

/// The effects whose tempo the operator wants set, parsed from the text field. The tokens
/// are kept exactly as typed (so 5 and 05 differ); only their form and value are checked.
class EffectRange {
 public:
  /// These effects, in the order typed; never empty.
  struct List {
    std::vector<std::string> effects;
    friend bool operator==(const List&, const List&) = default;
  };
  /// All effects from first to last; first is numerically below last.
  struct Range {
    std::string first;
    std::string last;
    friend bool operator==(const Range&, const Range&) = default;
  };
  /// The effects from first onward.
  struct OpenRange {
    std::string first;
    friend bool operator==(const OpenRange&, const OpenRange&) = default;
  };
  using Selection = std::variant<List, Range, OpenRange>;

  /// Text with a hyphen is a range ("3000-4000", "3000-"); anything else is a list split at
  /// commas and white space ("1, 2 3"). Nothing when the text is not a valid selection.
  [[nodiscard]] static std::optional<EffectRange> parse(std::string_view text);

  explicit EffectRange(Selection selection) : selection_(std::move(selection)) {}

  [[nodiscard]] const Selection& selection() const { return selection_; }

  /// The selection in the console's command-line syntax: "1 + 2", "3000 Thru 4000",
  /// "3000 Thru -".
  [[nodiscard]] std::string eosSyntax() const;

  friend bool operator==(const EffectRange&, const EffectRange&) = default;

 private:
  Selection selection_;
};

}  // namespace tempik::core
