#include "osc/OSCTimeTag.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

namespace tempik::osc {
namespace {

constexpr double kUnixFrom1900 = 2208988800.0;

OSCDate unixSeconds(double seconds) {
  return OSCDate(std::chrono::duration<double>(seconds));
}

TEST(OSCTimeTag, DatesCountFrom1900AcrossEras) {
  struct Case {
    OSCTimeTag tag;
    double unixSeconds;
  };
  const Case cases[] = {
      {OSCTimeTag(std::uint64_t{1} << 32), 1 - kUnixFrom1900},          // 1900-01-01 00:00:01
      {OSCTimeTag(std::uint64_t{3} << 31), 1.5 - kUnixFrom1900},        // half a second
      {OSCTimeTag(0xFFFFFFFFULL << 32), 4294967295.0 - kUnixFrom1900},  // last second of era 0
      {OSCTimeTag(0, 1), 2085978496.0},                                 // 2036-02-07 06:28:16
      {OSCTimeTag(std::uint64_t{10} << 32, 1), 2085978506.0},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(c.tag.date(unixSeconds(0)).time_since_epoch().count(), c.unixSeconds)
        << c.tag.description();
    EXPECT_EQ(OSCTimeTag::fromDate(unixSeconds(c.unixSeconds)), c.tag) << c.tag.description();
  }
}

TEST(OSCTimeTag, ConversionFromSeconds) {
  EXPECT_EQ(OSCTimeTag::fromSecondsSinceEpoch(0), OSCTimeTag(0));
  EXPECT_EQ(OSCTimeTag::fromSecondsSinceEpoch(-5), OSCTimeTag(0));
  EXPECT_EQ(OSCTimeTag::fromSecondsSinceEpoch(NAN), OSCTimeTag(0));
  EXPECT_EQ(OSCTimeTag::fromSecondsSinceEpoch(1.25), OSCTimeTag(std::uint64_t{5} << 30));
  EXPECT_EQ(OSCTimeTag::fromSecondsSinceEpoch(4294967296.0 * 3 + 2),
            OSCTimeTag(std::uint64_t{2} << 32, 3));
  // Just below the era boundary stays in era 0; the boundary itself starts era 1.
  EXPECT_EQ(OSCTimeTag::fromSecondsSinceEpoch(4294967295.5).era, 0);
  EXPECT_EQ(OSCTimeTag::fromSecondsSinceEpoch(4294967296.0), OSCTimeTag(0, 1));
}

TEST(OSCTimeTag, ImmediateAndFutureRelativeToNow) {
  const OSCDate now = unixSeconds(1700000000.0);
  const OSCTimeTag inTenSeconds = OSCTimeTag::fromDate(now + std::chrono::duration<double>(10));
  EXPECT_TRUE(inTenSeconds.isFuture(now));
  EXPECT_NEAR(inTenSeconds.timeInterval(now), 10.0, 1e-6);
  EXPECT_FALSE(OSCTimeTag::fromDate(now - std::chrono::duration<double>(1)).isFuture(now));

  const OSCTimeTag immediate = OSCTimeTag::immediate();
  EXPECT_TRUE(immediate.isImmediate());
  EXPECT_FALSE(immediate.isFuture(now));
  EXPECT_EQ(immediate.date(now), now);
  EXPECT_EQ(immediate.timeInterval(now), 0.0);
  EXPECT_EQ(immediate.timeIntervalSinceNow(), 0.0);
  EXPECT_LT(std::abs(OSCTimeTag::now().timeIntervalSinceNow()), 1.0);
}

TEST(OSCTimeTag, Descriptions) {
  EXPECT_EQ(OSCTimeTag::immediate().description(), "1 (immediate)");
  EXPECT_EQ(OSCTimeTag(std::uint64_t{1} << 32).description(), "4294967296");
  EXPECT_EQ(OSCTimeTag(5, 2).description(), "5-era:2");
}

}  // namespace
}  // namespace tempik::osc
