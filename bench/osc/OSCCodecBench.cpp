// tempik's codec: encode and decode of the console message and of a mixed message, in ns per
// message. The same binary times liblo and oscpack on the same messages when they are present.
#include <benchmark/benchmark.h>

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "BenchMessages.h"
#include "osc/ASCIIString.h"
#include "osc/OSCMessage.h"
#include "osc/OSCPacket.h"
#include "osc/OSCPacketView.h"

namespace tempik::osc::bench {
namespace {

OSCMessage consoleMessage() {
  return OSCMessage(kConsoleAddress, {kConsoleText});
}

OSCMessage mixedMessage() {
  return OSCMessage(kMixedAddress, {kMixedInt32, kMixedFloat, kMixedString,
                                    OSCBlob(kMixedBlob.begin(), kMixedBlob.end()), kMixedInt64,
                                    kMixedDouble, true});
}

// Building the message from its parts and encoding it, as the console link does for each send.
void tempikEncodeConsole(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<std::uint8_t> bytes = consoleMessage().rawData();
    benchmark::DoNotOptimize(bytes.data());
  }
}

void tempikEncodeMixed(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<std::uint8_t> bytes = mixedMessage().rawData();
    benchmark::DoNotOptimize(bytes.data());
  }
}

// Encoding a message that is already built.
void encodeOnly(benchmark::State& state, const OSCMessage& message) {
  for (auto _ : state) {
    std::vector<std::uint8_t> bytes = message.rawData();
    benchmark::DoNotOptimize(bytes.data());
  }
}

void tempikEncodeOnlyConsole(benchmark::State& state) {
  encodeOnly(state, consoleMessage());
}

void tempikEncodeOnlyMixed(benchmark::State& state) {
  encodeOnly(state, mixedMessage());
}

// Decoding a received frame into a packet with owned values, then reading them.
void decodeAndRead(benchmark::State& state, const std::vector<std::uint8_t>& frame) {
  for (auto _ : state) {
    std::optional<OSCPacket> packet = OSCPacket::decode(frame);
    const OSCMessage* message = packet->message();
    benchmark::DoNotOptimize(message->addressPattern().rawAddress().data());
    for (const OSCValue& value : message->values()) benchmark::DoNotOptimize(&value);
  }
}

void tempikDecodeConsole(benchmark::State& state) {
  decodeAndRead(state, consoleMessage().rawData());
}

void tempikDecodeMixed(benchmark::State& state) {
  decodeAndRead(state, mixedMessage().rawData());
}

// Reading a received frame in place, as the console link does: the address and every argument,
// nothing copied.
void viewDecodeAndRead(benchmark::State& state, const std::vector<std::uint8_t>& frame) {
  for (auto _ : state) {
    const std::optional<OSCPacketView> packet = OSCPacketView::decode(frame);
    const OSCMessageView& message = *packet->message();
    benchmark::DoNotOptimize(message.addressPattern().data());
    // Each argument by its kind, in the same order as the oscpack baseline asks.
    for (const OSCArgumentView& argument : message) {
      if (const auto* text = std::get_if<std::string_view>(&argument)) {
        benchmark::DoNotOptimize(text->data());
      } else if (const auto* blob = std::get_if<std::span<const std::uint8_t>>(&argument)) {
        benchmark::DoNotOptimize(blob->data());
        benchmark::DoNotOptimize(blob->size());
      } else if (const auto* i = std::get_if<std::int32_t>(&argument)) {
        benchmark::DoNotOptimize(*i);
      } else if (const auto* f = std::get_if<float>(&argument)) {
        benchmark::DoNotOptimize(*f);
      } else if (const auto* h = std::get_if<std::int64_t>(&argument)) {
        benchmark::DoNotOptimize(*h);
      } else if (const auto* d = std::get_if<double>(&argument)) {
        benchmark::DoNotOptimize(*d);
      } else if (const auto* b = std::get_if<bool>(&argument)) {
        benchmark::DoNotOptimize(*b);
      }
    }
  }
}

void tempikViewDecodeConsole(benchmark::State& state) {
  viewDecodeAndRead(state, consoleMessage().rawData());
}

void tempikViewDecodeMixed(benchmark::State& state) {
  viewDecodeAndRead(state, mixedMessage().rawData());
}

// The lossy rule on text that needs no conversion (every ordinary outgoing string) and on
// text that does.
void tempikLossyPrintable(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(ASCIIString::lossy(kConsoleText));
}

void tempikLossyAccented(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(ASCIIString::lossy("Caf\xC3\xA9 cr\xC3\xA8me"));
}

BENCHMARK(tempikEncodeConsole);
BENCHMARK(tempikEncodeOnlyConsole);
BENCHMARK(tempikEncodeMixed);
BENCHMARK(tempikEncodeOnlyMixed);
BENCHMARK(tempikDecodeConsole);
BENCHMARK(tempikDecodeMixed);
BENCHMARK(tempikViewDecodeConsole);
BENCHMARK(tempikViewDecodeMixed);
BENCHMARK(tempikLossyPrintable);
BENCHMARK(tempikLossyAccented);

}  // namespace
}  // namespace tempik::osc::bench

BENCHMARK_MAIN();
