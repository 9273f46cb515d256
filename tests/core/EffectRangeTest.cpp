#include "core/EffectRange.h"

#include <gtest/gtest.h>

namespace tempik::core {
namespace {

// Lists, ranges, then white space beyond ASCII: operators paste from documents, so no-break
// and em spaces separate and trim like spaces, but a zero-width space, cut-off UTF-8 and
// Arabic-Indic digits are nothing of the kind.
TEST(EffectRange, ParsesIntoConsoleSyntax) {
  const std::pair<const char*, const char*> valid[] = {{"1, 2, 3", "1 + 2 + 3"},
                                                       {"1 2 3", "1 + 2 + 3"},
                                                       {"1,,2 3", "1 + 2 + 3"},
                                                       {"007,3", "007 + 3"},
                                                       {"\t12\r\n", "12"},
                                                       {"0.001", "0.001"},
                                                       {"9999.999", "9999.999"},
                                                       {" \t3000\t-\t4000 ", "3000 Thru 4000"},
                                                       {"3000-", "3000 Thru -"},
                                                       {"3000 -  ", "3000 Thru -"},
                                                       {"1.5-1.501", "1.5 Thru 1.501"},
                                                       {"1\u00A02\u20033", "1 + 2 + 3"},
                                                       {"\u3000\u2028 7 \u0085\u00A0", "7"},
                                                       {"1\u202F,\u205F2\u16803", "1 + 2 + 3"},
                                                       {"\u00A03000-4000\u2003", "3000 Thru 4000"}};
  for (const auto& [text, syntax] : valid) {
    const auto range = EffectRange::parse(text);
    ASSERT_TRUE(range.has_value()) << ::testing::PrintToString(text);
    EXPECT_EQ(range->eosSyntax(), syntax) << ::testing::PrintToString(text);
  }
  const char* const invalid[] = {
      "",         "   ",          ",, ,\n", "0",         "0.0",      "000",          "12345",
      "1.2345",   ".5",           "5.",     "1e3",       "1;2",      "1 x",          "+1",
      "\xd9\xa3", "123456789012", "-4000",  "4000-3000", "5-5",      "5-05.000",     "1.5-1.50",
      "1-2-3",    "1,2-5",        "0-5",    "-",         "1\u200B2", "\u00A0\u2003", "1\xC2",
      "\xA0 1"};
  for (const char* text : invalid) {
    EXPECT_FALSE(EffectRange::parse(text).has_value()) << ::testing::PrintToString(text);
  }
}

TEST(EffectRange, KeepsTokensAsTyped) {
  EXPECT_EQ(EffectRange::parse("05, 12.50"), (EffectRange{EffectRange::List{{"05", "12.50"}}}));
  EXPECT_EQ(EffectRange::parse("0005 - 12.5"), (EffectRange{EffectRange::Range{"0005", "12.5"}}));
  EXPECT_EQ(EffectRange::parse("3000-"), EffectRange{EffectRange::OpenRange{"3000"}});
  EXPECT_NE(EffectRange::parse("5"), EffectRange::parse("05"));
}

}  // namespace
}  // namespace tempik::core
