// The ASCII rules every string and address goes through, and OSC time tags.
#include <gtest/gtest.h>

#include <thread>

#include "osc/ASCIIString.h"
#include "osc/OSCTimeTag.h"

namespace tempik::osc {
namespace {

TEST(ASCIIText, ExactWhenItCanBeLossyOtherwise) {
  const std::pair<const char*, const char*> lossy[] = {
      {"LIVE: Cue 1 : Effect 1 BPM 120#", "LIVE: Cue 1 : Effect 1 BPM 120#"},
      {"Caf\xC3\xA9", "Cafe"},               // acute accent dropped
      {"\xC3\x86sop \xC3\x9F", "AEsop ss"},  // ligature and sharp s spelled out
      {"\xE2\x80\x9Cq\xE2\x80\x9D \xE2\x80\x98x\xE2\x80\x99", "\"q\" 'x'"},  // quotes
      {"x\xE2\x80\x93y\xE2\x80\x94z\xE2\x80\xA6\xC2\xA0", "x-y-z... "},  // dashes, ellipsis, NBSP
      {"e\xCC\x81\xCC\xA7 \xCC\x81 \xCE\xB1\xCC\x81", "e ? ??"},  // marks on Latin only dropped
      {"\xCE\xB1\xCE\xB2", "??"},                                 // Greek: one "?" per code point
      {"\xE4\xB8\xAD\xE6\x96\x87", "??"},                         // CJK
      {"a\tb\r\nc\x7F", "a?b??c?"},                       // controls and DEL are not printable
      {"\xFFz\xE4\xB8\xED\xA0\x80\xF4\x90", "?z??????"},  // invalid UTF-8
  };
  for (const auto& [text, expected] : lossy) {
    EXPECT_EQ(ASCIIString::lossy(text).stringValue(), expected) << text;
  }
  EXPECT_EQ(ASCIIString::exactly("a\tb\x7F")->stringValue(), "a\tb\x7F");
  EXPECT_FALSE(ASCIIString::exactly("caf\xC3\xA9").has_value());
  EXPECT_EQ(ASCIIString("/\t").stringValue(), "/\t");  // from text: exact when it can be
  EXPECT_EQ(ASCIIString("/caf\xC3\xA9\t").stringValue(), "/cafe?");
  const std::uint8_t high[] = {0x61, 0x80}, escaped[] = {'a', '\\', 'u', '0', '0', 'e', '9'};
  EXPECT_FALSE(ASCIIString::fromBytes(high).has_value());
  EXPECT_EQ(ASCIIString::fromBytes(escaped)->stringValue(), "a\\u00e9");
  EXPECT_EQ(ASCIICharacter::lossy(U'\u00C6').characterValue(), 'A');  // first letter of "AE"
  EXPECT_EQ(ASCIICharacter::lossy(char32_t{0xD800}).characterValue(), '?');
  EXPECT_FALSE(ASCIICharacter::exactly(U'\u00E9').has_value());
}

// Each thread needs its own transliterator; a shared one corrupts results under contention.
TEST(ASCIIText, LossyRuleIsSafeFromManyThreads) {
  std::vector<std::thread> threads;
  std::vector<int> wrong(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &wrong] {
      for (int i = 0; i < 300; ++i) {
        wrong[t] += ASCIIString::lossy(
                        "Cr\xC3\xA8me br\xC3\xBBl\xC3\xA9"
                        "e")
                        .stringValue() != "Creme brulee";
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

TEST(OSCTimeTag, CountsFrom1900AcrossErasAndRelativeToNow) {
  constexpr double fromUnix = 2208988800.0;
  const auto date = [](double unixSeconds) {
    return OSCDate(std::chrono::duration<double>(unixSeconds));
  };
  const std::pair<OSCTimeTag, double> cases[] = {
      {OSCTimeTag(std::uint64_t{1} << 32), 1 - fromUnix},          // 1900-01-01 00:00:01
      {OSCTimeTag(std::uint64_t{3} << 31), 1.5 - fromUnix},        // half a second
      {OSCTimeTag(0xFFFFFFFFULL << 32), 4294967295.0 - fromUnix},  // last second of era 0
      {OSCTimeTag(0, 1), 2085978496.0},                            // 2036-02-07 06:28:16
      {OSCTimeTag(std::uint64_t{10} << 32, 1), 2085978506.0},
  };
  for (const auto& [tag, unixSeconds] : cases) {
    EXPECT_DOUBLE_EQ(tag.date(date(0)).time_since_epoch().count(), unixSeconds)
        << tag.description();
    EXPECT_EQ(OSCTimeTag::fromDate(date(unixSeconds)), tag) << tag.description();
  }
  const OSCDate now = date(1700000000.0);
  EXPECT_NEAR(OSCTimeTag::fromDate(date(1700000010.0)).timeInterval(now), 10.0, 1e-6);
  EXPECT_FALSE(OSCTimeTag::fromDate(date(1699999999.0)).isFuture(now));
  EXPECT_FALSE(OSCTimeTag::immediate().isFuture(now));
  EXPECT_EQ(OSCTimeTag(5, 2).description(), "5-era:2");
}

}  // namespace
}  // namespace tempik::osc
