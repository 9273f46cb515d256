// oscpack on the same messages: OutboundPacketStream for encoding; ReceivedMessage with the
// address and strings copied into std::string (and the blob into a vector) for decoding, and
// ReceivedMessage read in place (no copies) beside tempik's message view.
#include <benchmark/benchmark.h>
#include <osc/OscOutboundPacketStream.h>
#include <osc/OscReceivedElements.h>

#include <string>
#include <vector>

#include "BenchMessages.h"

namespace tempik::osc::bench {
namespace {

// The blob size type differs between oscpack releases; take it from AsBlob itself.
template <class Size>
Size blobSizeOf(void (::osc::ReceivedMessageArgument::*)(const void*&, Size&) const);
using BlobSize = decltype(blobSizeOf(&::osc::ReceivedMessageArgument::AsBlob));

std::size_t encodeConsole(char* buffer, std::size_t capacity) {
  ::osc::OutboundPacketStream p(buffer, capacity);
  p << ::osc::BeginMessage(kConsoleAddress) << kConsoleText << ::osc::EndMessage;
  return p.Size();
}

std::size_t encodeMixed(char* buffer, std::size_t capacity) {
  ::osc::OutboundPacketStream p(buffer, capacity);
  p << ::osc::BeginMessage(kMixedAddress) << ::osc::int32(kMixedInt32) << kMixedFloat
    << kMixedString << ::osc::Blob(kMixedBlob.data(), kMixedBlob.size())
    << ::osc::int64(kMixedInt64) << kMixedDouble << true << ::osc::EndMessage;
  return p.Size();
}

void oscpackEncodeConsole(benchmark::State& state) {
  char buffer[1024];
  for (auto _ : state) {
    benchmark::DoNotOptimize(encodeConsole(buffer, sizeof buffer));
    benchmark::ClobberMemory();
  }
}

void oscpackEncodeMixed(benchmark::State& state) {
  char buffer[1024];
  for (auto _ : state) {
    benchmark::DoNotOptimize(encodeMixed(buffer, sizeof buffer));
    benchmark::ClobberMemory();
  }
}

void copyingDecode(benchmark::State& state, const char* data, std::size_t size) {
  for (auto _ : state) {
    ::osc::ReceivedPacket packet(data, static_cast<::osc::osc_bundle_element_size_t>(size));
    ::osc::ReceivedMessage message(packet);
    std::string address = message.AddressPattern();
    benchmark::DoNotOptimize(address.data());
    for (auto arg = message.ArgumentsBegin(); arg != message.ArgumentsEnd(); ++arg) {
      if (arg->IsString()) {
        std::string text = arg->AsString();
        benchmark::DoNotOptimize(text.data());
      } else if (arg->IsBlob()) {
        const void* blob = nullptr;
        BlobSize blobSize = 0;
        arg->AsBlob(blob, blobSize);
        std::vector<std::uint8_t> bytes(static_cast<const std::uint8_t*>(blob),
                                        static_cast<const std::uint8_t*>(blob) + blobSize);
        benchmark::DoNotOptimize(bytes.data());
      } else if (arg->IsInt32()) {
        benchmark::DoNotOptimize(arg->AsInt32());
      } else if (arg->IsFloat()) {
        benchmark::DoNotOptimize(arg->AsFloat());
      } else if (arg->IsInt64()) {
        benchmark::DoNotOptimize(arg->AsInt64());
      } else if (arg->IsDouble()) {
        benchmark::DoNotOptimize(arg->AsDouble());
      } else if (arg->IsBool()) {
        benchmark::DoNotOptimize(arg->AsBool());
      }
    }
  }
}

// Reading every argument in place: pointers into the buffer, nothing copied.
void inPlaceRead(benchmark::State& state, const char* data, std::size_t size) {
  for (auto _ : state) {
    ::osc::ReceivedPacket packet(data, static_cast<::osc::osc_bundle_element_size_t>(size));
    ::osc::ReceivedMessage message(packet);
    benchmark::DoNotOptimize(message.AddressPattern());
    for (auto arg = message.ArgumentsBegin(); arg != message.ArgumentsEnd(); ++arg) {
      if (arg->IsString()) {
        benchmark::DoNotOptimize(arg->AsString());
      } else if (arg->IsBlob()) {
        const void* blob = nullptr;
        BlobSize blobSize = 0;
        arg->AsBlob(blob, blobSize);
        benchmark::DoNotOptimize(blob);
        benchmark::DoNotOptimize(blobSize);
      } else if (arg->IsInt32()) {
        benchmark::DoNotOptimize(arg->AsInt32());
      } else if (arg->IsFloat()) {
        benchmark::DoNotOptimize(arg->AsFloat());
      } else if (arg->IsInt64()) {
        benchmark::DoNotOptimize(arg->AsInt64());
      } else if (arg->IsDouble()) {
        benchmark::DoNotOptimize(arg->AsDouble());
      } else if (arg->IsBool()) {
        benchmark::DoNotOptimize(arg->AsBool());
      }
    }
  }
}

void oscpackInPlaceConsole(benchmark::State& state) {
  char buffer[1024];
  inPlaceRead(state, buffer, encodeConsole(buffer, sizeof buffer));
}

void oscpackInPlaceMixed(benchmark::State& state) {
  char buffer[1024];
  inPlaceRead(state, buffer, encodeMixed(buffer, sizeof buffer));
}

void oscpackDecodeConsole(benchmark::State& state) {
  char buffer[1024];
  copyingDecode(state, buffer, encodeConsole(buffer, sizeof buffer));
}

void oscpackDecodeMixed(benchmark::State& state) {
  char buffer[1024];
  copyingDecode(state, buffer, encodeMixed(buffer, sizeof buffer));
}

BENCHMARK(oscpackEncodeConsole);
BENCHMARK(oscpackEncodeMixed);
BENCHMARK(oscpackDecodeConsole);
BENCHMARK(oscpackDecodeMixed);
BENCHMARK(oscpackInPlaceConsole);
BENCHMARK(oscpackInPlaceMixed);

}  // namespace
}  // namespace tempik::osc::bench
