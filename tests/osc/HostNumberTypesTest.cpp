// Host number types go out by their width, whatever their C++ name: on LP64 Linux `long`,
// `long long`, `std::int64_t` and `std::ptrdiff_t` are all 64-bit and so all "h". (The 8- and
// 16-bit types are the fixed-width ones that OSCSerializationTests covers.)
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "OSCTestBytes.h"
#include "osc/OSCErrors.h"
#include "osc/OSCSerialization.h"

namespace tempik::osc {
namespace {

using test::Bytes;

TEST(OSCHostNumberTypes, WidthNotNameChoosesTheTag) {
  struct Case {
    OSCValue value;
    char tag;
    std::uint64_t payload;  // big-endian, 4 bytes for "i" and "f", 8 for "h"
  };
  const Case cases[] = {
    {-3, 'i', 0xFFFFFFFD},
    {-4L, 'h', 0xFFFFFFFFFFFFFFFC},
    {-5LL, 'h', 0xFFFFFFFFFFFFFFFB},
    {std::ptrdiff_t{6}, 'h', 6},
    {0xFFFFFFFFu, 'h', 0xFFFFFFFF},
    {std::size_t{7}, 'h', 7},
    {0x7FFFFFFFFFFFFFFFull, 'h', 0x7FFFFFFFFFFFFFFF},
#if defined(__FLT16_MAX__)
    {static_cast<_Float16>(1.5f), 'f', 0x3FC00000},
#endif
  };
  for (const Case& c : cases) {
    std::string tags;
    Bytes data;
    OSCSerialization::encodeValue(c.value, tags, data);
    Bytes expected(c.tag == 'h' ? 8 : 4);
    for (std::size_t i = 0; i < expected.size(); ++i) {
      expected[i] = static_cast<std::uint8_t>(c.payload >> (8 * (expected.size() - 1 - i)));
    }
    EXPECT_EQ(tags, std::string(1, c.tag)) << c.value.description();
    EXPECT_EQ(data, expected) << c.value.description();
  }
  std::string tags;
  Bytes data;
  EXPECT_THROW(OSCSerialization::encodeValue(0x8000000000000000ull, tags, data), OSCEncodeError);
}

}  // namespace
}  // namespace tempik::osc
