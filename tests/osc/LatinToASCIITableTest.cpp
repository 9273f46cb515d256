// The table behind the lossy rule where there is no ICU, against ICU itself (Linux only).
#include <gtest/gtest.h>

#include "osc/LatinToASCII.h"
#include "osc/UTF8.h"

namespace tempik::osc::detail {
namespace {

TEST(LatinToASCIITable, SpellsEveryCodePointAndDropsTheMarksAsICUDoes) {
  std::vector<std::string> texts;
  for (char32_t cp = 0x80; cp <= 0x1FFFF; ++cp) {
    if (cp < 0xD800 || cp > 0xDFFF) texts.push_back(utf8(cp));
  }
  // Each kind of base with each kind of combining mark, two marks, a mark on a mark.
  const std::u32string bases =
      U"aZ7\u00E9\u0180\u1E00\u2160\uA722\uFF21\u02B9\u00BF !\u03B1\u4E2D\t\u0301\u09C7";
  const std::u32string marks =
      U"\u0300\u036F\u0485\u064B\u0670\u0951\u1AB0\u1CD0\u1DC0\u20D0\u20E1\u302A\u3099\uFE00\uFE2D"
      U"\U0001D167\u0483\u0591\u09C7\u0488";
  for (char32_t base : bases) {
    for (char32_t mark : marks) {
      texts.push_back(utf8(base) + utf8(mark));
      texts.push_back(utf8(base) + utf8(mark) + utf8(U'\u0301'));
    }
  }
  for (const char* invalid :
       {"\x80", "\xC0\x80", "\xC2", "\xE0\x80\x80", "\xE0\xA0", "\xED\xA0\x80", "\xF0\x80",
        "\xF0\x90\x80", "\xF4\x90\x80\x80", "\xF5\x80", "\xFE\xFF"}) {
    texts.push_back(std::string("a") + invalid + "b");
  }
  int differing = 0;
  for (const std::string& text : texts) {
    const std::string table = toPrintableASCIIByTable(text), icu = toPrintableASCII(text);
    if (table != icu && ++differing <= 20) {
      ADD_FAILURE() << "table: \"" << table << "\", ICU: \"" << icu << "\" for the UTF-8 of "
                    << ::testing::PrintToString(text);
    }
  }
  EXPECT_EQ(differing, 0) << "of " << texts.size();
}

}  // namespace
}  // namespace tempik::osc::detail
