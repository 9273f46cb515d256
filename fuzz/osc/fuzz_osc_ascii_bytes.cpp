// The byte rule for received text: any byte above 0x7F rejects the input, everything else
// (a backslash included) is kept byte for byte. The same bytes, taken as UTF-8 text, always
// convert lossily to printable ASCII.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>

#include "osc/ASCIIString.h"

using tempik::osc::ASCIIString;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  const bool allASCII = std::ranges::all_of(bytes, [](std::uint8_t b) { return b <= 0x7F; });
  const auto text = ASCIIString::fromBytes(bytes);
  if (text.has_value() != allASCII) std::abort();
  if (text && !std::ranges::equal(text->rawData(), bytes)) std::abort();

  const std::string_view utf8(reinterpret_cast<const char*>(data), size);
  const ASCIIString lossy = ASCIIString::lossy(utf8);
  const bool printable =
      std::ranges::all_of(lossy.stringValue(), [](char c) { return c >= 0x20 && c <= 0x7E; });
  if (!printable) std::abort();
  const auto exact = ASCIIString::exactly(utf8);
  if (exact.has_value() != allASCII) std::abort();
  return 0;
}
