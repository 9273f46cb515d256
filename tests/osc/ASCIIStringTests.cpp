#include "osc/ASCIIString.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "OSCTestBytes.h"

namespace tempik::osc {
namespace {

using test::bytesOf;

TEST(ASCIIString, ExactRuleTakesOnlyASCII) {
  const auto abc = ASCIIString::exactly("abc");
  ASSERT_TRUE(abc.has_value());
  EXPECT_EQ(test::Bytes(abc->rawData().begin(), abc->rawData().end()), bytesOf({0x61, 0x62, 0x63}));
  EXPECT_FALSE(ASCIIString::exactly("caf\xC3\xA9").has_value());
  EXPECT_EQ(ASCIIString::exactly("a\tb\x7F")->stringValue(), "a\tb\x7F");
}

TEST(ASCIIString, LossyRuleTransliteratesAndReplaces) {
  struct Case {
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
      {"LIVE: Cue 1 : Effect 1 BPM 120#", "LIVE: Cue 1 : Effect 1 BPM 120#"},
      {"Caf\xC3\xA9", "Cafe"},               // acute accent dropped
      {"\xC3\x86sop \xC3\x9F", "AEsop ss"},  // ligature and sharp s spelled out
      {"\xCE\xB1\xCE\xB2", "??"},            // Greek: one "?" per code point
      {"\xE4\xB8\xAD\xE6\x96\x87", "??"},    // CJK
      {"a\tb\r\nc", "a?b??c"},               // controls are not printable
      {"\xFF"
       "a",
       "?a"},  // invalid UTF-8
      {"", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ASCIIString::lossy(c.text).stringValue(), c.expected) << c.text;
}

TEST(ASCIIString, TextConstructionIsExactWhenItCanBe) {
  EXPECT_EQ(ASCIIString("/\t").stringValue(), "/\t");
  EXPECT_EQ(ASCIIString("/caf\xC3\xA9\t").stringValue(), "/cafe?");
}

TEST(ASCIIString, ByteRuleRejectsEveryHighByteAndKeepsBackslashes) {
  EXPECT_FALSE(ASCIIString::fromBytes(bytesOf({0x61, 0xC3, 0xA9})).has_value());
  EXPECT_FALSE(ASCIIString::fromBytes(bytesOf({0x80})).has_value());
  const auto escaped = ASCIIString::fromBytes(bytesOf("a\\u00e9\\"));
  ASSERT_TRUE(escaped.has_value());
  EXPECT_EQ(escaped->stringValue(), "a\\u00e9\\");
}

TEST(ASCIIString, TextsAndConcatenation) {
  EXPECT_EQ(ASCIIString("ab").debugDescription(), "ASCIIString(\"ab\")");
  EXPECT_EQ((ASCIIString("ab") + ASCIIString("c")).stringValue(), "abc");
}

TEST(ASCIICharacter, ExactAndLossyRules) {
  EXPECT_EQ(ASCIICharacter::exactly("\r\n")->asciiValue(), 10);
  EXPECT_FALSE(ASCIICharacter::exactly("ab").has_value());
  EXPECT_FALSE(ASCIICharacter::exactly(U'\u00E9').has_value());
  EXPECT_EQ(ASCIICharacter::lossy("\xC3\xA9").characterValue(), 'e');
  EXPECT_EQ(ASCIICharacter::lossy(U'\u00C6').characterValue(), 'A');  // first letter of "AE"
  EXPECT_EQ(ASCIICharacter::lossy(U'\u4E2D').characterValue(), '?');
  EXPECT_EQ(ASCIICharacter::lossy(char32_t{0xD800}).characterValue(), '?');
  EXPECT_EQ(ASCIICharacter::lossy(char32_t{0x110000}).characterValue(), '?');
}

TEST(ASCIICharacter, Descriptions) {
  EXPECT_EQ(ASCIICharacter('\a').description(), "?");
  EXPECT_EQ(ASCIICharacter('\a').debugDescription(), "ASCIICharacter(#7: \"?\")");
  EXPECT_EQ(ASCIICharacter('A').debugDescription(), "ASCIICharacter(#65: \"A\")");
}

// Each thread needs its own transliterator; a shared one corrupts results under contention.
TEST(ASCIIString, LossyRuleIsSafeFromManyThreads) {
  std::vector<std::thread> threads;
  std::vector<int> wrong(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &wrong] {
      for (int i = 0; i < 300; ++i) {
        if (ASCIIString::lossy("Cr\xC3\xA8me br\xC3\xBBl\xC3\xA9"
                               "e")
                .stringValue() != "Creme brulee") {
          ++wrong[t];
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

}  // namespace
}  // namespace tempik::osc
