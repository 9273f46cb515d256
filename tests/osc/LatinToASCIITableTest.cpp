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
  const char32_t bases[] = {U'a',      U'Z',      U'7',      U'\u00E9', U'\u0180', U'\u1E00',
                            U'\u2160', U'\uA722', U'\uFF21', U'\u02B9', U'\u00BF', U' ',
                            U'!',      U'\u03B1', U'\u4E2D', U'\t',     U'\u0301', U'\u09C7'};
  const char32_t marks[] = {U'\u0300',     U'\u036F', U'\u0485', U'\u064B', U'\u0670',
                            U'\u0951',     U'\u1AB0', U'\u1CD0', U'\u1DC0', U'\u20D0',
                            U'\u20E1',     U'\u302A', U'\u3099', U'\uFE00', U'\uFE2D',
                            U'\U0001D167', U'\u0483', U'\u0591', U'\u09C7', U'\u0488'};
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
    const std::string expected = toPrintableASCII(text);
    if (toPrintableASCIIByTable(text) == expected) continue;
    if (++differing <= 20) {
      ADD_FAILURE() << "table: \"" << toPrintableASCIIByTable(text) << "\", ICU: \"" << expected
                    << "\" for the UTF-8 of " << ::testing::PrintToString(text);
    }
  }
  EXPECT_EQ(differing, 0) << "of " << texts.size();
}

}  // namespace
}  // namespace tempik::osc::detail
