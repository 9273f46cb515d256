#include "core/EffectRange.h"

#include <gtest/gtest.h>

namespace tempik::core {
namespace {

struct ParseCase {
  std::string text;
  std::optional<std::string> eosSyntax;  // nothing: the text is not a valid selection
};

void PrintTo(const ParseCase& c, std::ostream* out) {
  *out << testing::PrintToString(c.text);
}

class EffectRangeParse : public testing::TestWithParam<ParseCase> {};

TEST_P(EffectRangeParse, GivesConsoleSyntax) {
  const ParseCase& c = GetParam();
  const auto range = EffectRange::parse(c.text);
  ASSERT_EQ(range.has_value(), c.eosSyntax.has_value()) << "text: " << c.text;
  if (range) {
    EXPECT_EQ(range->eosSyntax(), *c.eosSyntax) << "text: " << c.text;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lists, EffectRangeParse,
    testing::Values(ParseCase{"", std::nullopt}, ParseCase{"   ", std::nullopt},
                    ParseCase{",, ,\n", std::nullopt}, ParseCase{"1, 2, 3", "1 + 2 + 3"},
                    ParseCase{"1 2 3", "1 + 2 + 3"}, ParseCase{"1,,2 3", "1 + 2 + 3"},
                    ParseCase{"007,3", "007 + 3"}, ParseCase{"12", "12"},
                    ParseCase{"\t12\r\n", "12"}, ParseCase{"0", std::nullopt},
                    ParseCase{"0.0", std::nullopt}, ParseCase{"000", std::nullopt},
                    ParseCase{"0.001", "0.001"}, ParseCase{"12345", std::nullopt},
                    ParseCase{"1.2345", std::nullopt}, ParseCase{".5", std::nullopt},
                    ParseCase{"5.", std::nullopt}, ParseCase{"1e3", std::nullopt},
                    ParseCase{"9999.999", "9999.999"}, ParseCase{"1;2", std::nullopt},
                    ParseCase{"1 x", std::nullopt}, ParseCase{"+1", std::nullopt},
                    ParseCase{"\xd9\xa3", std::nullopt},  // Arabic-Indic digit three
                    ParseCase{"123456789012", std::nullopt}));

INSTANTIATE_TEST_SUITE_P(
    Ranges, EffectRangeParse,
    testing::Values(ParseCase{"3000-4000", "3000 Thru 4000"},
                    ParseCase{"3000 - 4000", "3000 Thru 4000"},
                    ParseCase{" \t3000\t-\t4000 ", "3000 Thru 4000"},
                    ParseCase{"3000-", "3000 Thru -"}, ParseCase{"3000 -  ", "3000 Thru -"},
                    ParseCase{"-4000", std::nullopt}, ParseCase{"4000-3000", std::nullopt},
                    ParseCase{"5-5", std::nullopt}, ParseCase{"5-05.000", std::nullopt},
                    ParseCase{"1.5-1.50", std::nullopt}, ParseCase{"1.5-1.501", "1.5 Thru 1.501"},
                    ParseCase{"1-2-3", std::nullopt}, ParseCase{"1,2-5", std::nullopt},
                    ParseCase{"0-5", std::nullopt}, ParseCase{"-", std::nullopt}));

// Operators paste from documents: no-break and em spaces separate and trim like spaces.
INSTANTIATE_TEST_SUITE_P(
    UnicodeWhiteSpace, EffectRangeParse,
    testing::Values(ParseCase{"1\u00A02\u20033", "1 + 2 + 3"},
                    ParseCase{"\u3000\u2028 7 \u0085\u00A0", "7"},
                    ParseCase{"1\u202F,\u205F2\u16803", "1 + 2 + 3"},
                    ParseCase{"\u00A03000-4000\u2003", "3000 Thru 4000"},
                    ParseCase{"1\u200B2", std::nullopt},  // zero-width space is no separator
                    ParseCase{"\u00A0\u2003", std::nullopt},
                    ParseCase{"1\xC2", std::nullopt},  // cut-off UTF-8 is not white space
                    ParseCase{"\xA0 1", std::nullopt}));

TEST(EffectRange, KeepsTokensAsTyped) {
  EXPECT_EQ(EffectRange::parse("05, 12.50"), (EffectRange{EffectRange::List{{"05", "12.50"}}}));
  EXPECT_EQ(EffectRange::parse("0005 - 12.5"), (EffectRange{EffectRange::Range{"0005", "12.5"}}));
  EXPECT_EQ(EffectRange::parse("3000-"), EffectRange{EffectRange::OpenRange{"3000"}});
  EXPECT_NE(EffectRange::parse("5"), EffectRange::parse("05"));
}

TEST(EffectRange, EffectNumberValues) {
  EXPECT_EQ(parseEffectNumber("12.5"), 12.5);
  EXPECT_EQ(parseEffectNumber("0007"), 7.0);
  EXPECT_EQ(parseEffectNumber("0.001"), 0.001);
  EXPECT_EQ(parseEffectNumber("0.000"), std::nullopt);
  EXPECT_EQ(parseEffectNumber(" 1"), std::nullopt);
}

}  // namespace
}  // namespace tempik::core
