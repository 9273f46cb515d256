// packetLengthHeaderDecode never crashes, what it accepts re-encodes to the same bytes, and the
// streaming decoder agrees with it.
#include <cstdlib>

#include "link/LengthHeaderStreamDecoder.h"
#include "link/OSCTCPFraming.h"

using namespace tempik::link;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const ByteView chunk(data, size);
  const auto result = packetLengthHeaderDecode(chunk);
  const auto* packets = std::get_if<std::vector<Bytes>>(&result);
  if (packets == nullptr) return 0;
  Bytes again;
  for (const Bytes& packet : *packets) {
    const Bytes framed = packetLengthHeaderEncode(packet);
    again.insert(again.end(), framed.begin(), framed.end());
  }
  if (again != Bytes(chunk.begin(), chunk.end())) std::abort();
  LengthHeaderStreamDecoder stream;
  const auto streamed = stream.feed(chunk);
  if (streamed.unrecoverable || streamed.packets != *packets) std::abort();
  return 0;
}
