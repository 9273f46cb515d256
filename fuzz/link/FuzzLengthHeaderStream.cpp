// However a stream is cut into chunks, LengthHeaderStreamDecoder finds the same packets and
// the same verdict on an unrecoverable header.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdlib>

#include "link/LengthHeaderStreamDecoder.h"

using namespace tempik::link;

namespace {

std::pair<std::vector<Bytes>, bool> feedAll(ByteView stream, const std::vector<std::size_t>& cuts) {
  LengthHeaderStreamDecoder decoder;
  std::vector<Bytes> packets;
  const auto sink = [&packets](ByteView packet) {
    if (packet.size() > LengthHeaderStreamDecoder::maxPacketSize) std::abort();
    packets.emplace_back(packet.begin(), packet.end());
  };
  std::size_t from = 0;
  for (const std::size_t cut : cuts) {
    decoder.feed(stream.subspan(from, cut - from), sink);
    from = cut;
  }
  decoder.feed(stream.subspan(from), sink);
  return {packets, decoder.isUnrecoverable()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider provider(data, size);
  std::vector<std::size_t> cuts;
  for (int i = provider.ConsumeIntegralInRange(0, 8); i > 0; --i) {
    cuts.push_back(provider.ConsumeIntegral<std::uint16_t>());
  }
  const Bytes stream = provider.ConsumeRemainingBytes<std::uint8_t>();
  for (auto& cut : cuts) cut %= stream.size() + 1;
  std::sort(cuts.begin(), cuts.end());
  if (feedAll(stream, cuts) != feedAll(stream, {})) std::abort();
  return 0;
}
