// However a stream is cut into chunks, SlipStreamDecoder finds the same frames, none empty and
// none above the cap; with an early-delivery check the frames' bytes still arrive in order.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdlib>

#include "link/OSCTCPFraming.h"

#include "link/SlipStreamDecoder.h"

using namespace tempik::link;

namespace {

std::vector<Bytes> feedAll(SlipStreamDecoder& decoder, ByteView stream,
                           const std::vector<std::size_t>& cuts) {
  std::vector<Bytes> frames;
  const auto sink = [&frames](ByteView frame) {
    if (frame.empty() || frame.size() > SlipStreamDecoder::maxFrameSize) std::abort();
    frames.emplace_back(frame.begin(), frame.end());
  };
  std::size_t from = 0;
  for (const std::size_t cut : cuts) {
    decoder.feed(stream.subspan(from, cut - from), sink);
    from = cut;
  }
  decoder.feed(stream.subspan(from), sink);
  const Bytes end{slip::END};
  decoder.feed(end, sink);
  if (decoder.pendingSize() != 0) std::abort();
  return frames;
}

Bytes joined(const std::vector<Bytes>& frames) {
  Bytes all;
  for (const auto& frame : frames) all.insert(all.end(), frame.begin(), frame.end());
  return all;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider provider(data, size);
  const std::uint8_t checkByte = provider.ConsumeIntegral<std::uint8_t>();
  std::vector<std::size_t> cutSeeds;
  for (int i = provider.ConsumeIntegralInRange(0, 8); i > 0; --i) {
    cutSeeds.push_back(provider.ConsumeIntegral<std::uint16_t>());
  }
  const Bytes stream = provider.ConsumeRemainingBytes<std::uint8_t>();
  std::vector<std::size_t> cuts;
  for (const std::size_t seed : cutSeeds) cuts.push_back(seed % (stream.size() + 1));
  std::sort(cuts.begin(), cuts.end());

  SlipStreamDecoder whole;
  const auto expected = feedAll(whole, stream, {});
  SlipStreamDecoder chunked;
  if (feedAll(chunked, stream, cuts) != expected) std::abort();

  // On a well-formed stream, early delivery may split a frame, but never reorders, loses or
  // invents bytes.
  if (!std::holds_alternative<std::vector<Bytes>>(slipDecode(stream))) return 0;
  SlipStreamDecoder early([checkByte](ByteView frame) { return frame.back() == checkByte; });
  if (joined(feedAll(early, stream, cuts)) != joined(expected)) std::abort();
  return 0;
}
