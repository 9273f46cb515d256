// slipDecode never crashes, every frame it finds survives re-encoding, and the streaming
// decoder agrees with it on every chunk it accepts.
#include <cstdlib>

#include "link/OSCTCPFraming.h"
#include "link/SlipStreamDecoder.h"

using namespace tempik::link;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const ByteView chunk(data, size);
  const auto result = slipDecode(chunk);
  const auto* frames = std::get_if<std::vector<Bytes>>(&result);
  if (frames == nullptr) return 0;
  for (const Bytes& frame : *frames) {
    if (frame.empty()) std::abort();
    const auto again = slipDecode(slipEncode(frame));
    const auto* single = std::get_if<std::vector<Bytes>>(&again);
    if (single == nullptr || single->size() != 1 || single->front() != frame) std::abort();
  }
  SlipStreamDecoder stream;
  auto streamed = stream.feed(chunk);
  const Bytes end{slip::END};
  const auto last = stream.feed(end);
  streamed.insert(streamed.end(), last.begin(), last.end());
  if (streamed != *frames) std::abort();
  return 0;
}
