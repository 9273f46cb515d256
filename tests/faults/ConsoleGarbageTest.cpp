// The console talks garbage: nothing of it may crash tempik, stay in memory, or reach the
// controller as a message, and tempik must understand the console again right after.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

#include "ControllerUnderTest.h"
#include "FaultyConsole.h"
#include "ProcessResources.h"
#include "link/OSCTCPFraming.h"
#include "osc/OSCMessage.h"

namespace tempik::faults {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Log = FaultyConsole::Log;

const std::string feedback = "/eos/out/user/20/cmd";

Bytes bytes(std::string_view text) {
  return Bytes(text.begin(), text.end());
}

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bytes bigEndian(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
          static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

Bytes encoded(const std::string& address) {
  return osc::OSCMessage(std::string_view(address)).rawData();
}

/// A tap message wrapped in bundles `depth` deep.
Bytes nestedBundles(int depth) {
  Bytes packet = encoded("/tempik/tap");
  for (int level = 0; level < depth; ++level) {
    packet = bytes(std::string_view("#bundle\0", 8)) + bigEndian(0) + bigEndian(1) +
             bigEndian(static_cast<std::uint32_t>(packet.size())) + packet;
  }
  return packet;
}

/// Frames that split cleanly but hold no decodable packet.
Bytes undecodableFrames() {
  const Bytes header = bytes(std::string_view("/eos/out/user/20/cmd\0\0\0\0", 24));
  const std::vector<Bytes> packets = {
      bytes("/eos/out/user/20/cmd"),                                // address unterminated
      header + bytes(std::string_view(",s\0\0", 4)),                // string missing
      header + bytes(std::string_view(",i\0\0", 4)) + Bytes{0, 1},  // int cut short
      header + bytes(std::string_view(",b\0\0", 4)) + bigEndian(0x7fffffff),    // blob too long
      header + bytes(std::string_view(",s\0\0", 4)) + Bytes{0xff, 0xfe, 0, 0},  // not ASCII
      bytes(std::string_view("#bundle\0", 8)) + Bytes{0, 0, 0},  // time tag cut short
      bytes(std::string_view("#bundle\0", 8)) + bigEndian(0) + bigEndian(1) + bigEndian(1000),
      bytes(std::string_view(",s\0\0", 4)),  // no address at all
      Bytes{},                               // empty frame
  };
  Bytes stream;
  for (const auto& packet : packets) stream = stream + link::slipEncode(packet);
  // A tap with a broken escape: the frame is lost, and with it the tap.
  Bytes brokenTap = link::slipEncode(encoded("/tempik/tap"));
  brokenTap.insert(brokenTap.begin() + 4, {link::slip::ESC, 'x'});
  return stream + brokenTap;
}

constexpr std::size_t burst = 100'000;

/// Random bytes, undecodable frames, 10 MiB without END, bundles nested 1,000 deep, and a
/// burst of command-line feedback.
void sendBarrage(FaultyConsole& console, std::mt19937& random) {
  Bytes noise(64 * 1024);
  for (auto& byte : noise) byte = static_cast<std::uint8_t>(random());
  console.send(std::move(noise));

  console.send(Bytes{link::slip::END} + undecodableFrames());

  // One frame that never ends, shaped like the start of a message.
  Bytes endless =
      Bytes{link::slip::END} + bytes(std::string_view("/eos/out/user/20/cmd\0\0\0\0,s\0\0", 28));
  endless.resize(endless.size() + 10 * MiB, 'A');
  console.send(std::move(endless));
  console.send(Bytes{link::slip::END});

  console.send(link::slipEncode(nestedBundles(1000)));

  const Bytes one = slipMessage(feedback, {"LIVE: Chan 1 Full#"});
  Bytes flood;
  flood.reserve(one.size() * burst);
  for (std::size_t i = 0; i < burst; ++i) flood.insert(flood.end(), one.begin(), one.end());
  console.send(std::move(flood));
}

TEST(ConsoleGarbage, NothingCrashesLeaksOrGetsThroughAndTapsWorkAfterwards) {
  FaultyConsole console("127.0.0.25");
  ControllerUnderTest tempik({{"eosIP", console.host()}, {"bpmFX", "1"}});
  ASSERT_TRUE(
      console.waitUntil([](const Log& log) { return log.on(0, effectKey).size() >= 2; }, patience));
  ASSERT_TRUE(tempik.recorder->waitUntil(
      [](const auto& log) { return sendsCompleted(log, effectKey, 2); }, patience));
  const auto before = ProcessResources::now();

  const auto seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  // Twice: what the first barrage leaves behind may be the allocator's, but a second one
  // must not add to it.
  std::vector<ProcessResources> afterBarrage;
  for (std::size_t round = 1; round <= 2; ++round) {
    sendBarrage(console, random);
    console.sendMessage("/faults/marker");
    ASSERT_TRUE(tempik.recorder->waitUntil(
        [&](const auto& log) {
          const auto marker = log.delivered.find("/faults/marker");
          return marker != log.delivered.end() && marker->second >= round;
        },
        4 * patience));
    auto delivered = tempik.recorder->log().delivered;
    EXPECT_EQ(delivered[feedback], round * burst) << "every message of the burst, nothing else";
    EXPECT_EQ(delivered["/tempik/tap"], 0u);
    EXPECT_TRUE(
        tempik.onUiThread([](core::TempoController& c) { return c.tempo().taps().empty(); }));
    EXPECT_TRUE(tempik.isConnected());
    afterBarrage.push_back(ProcessResources::now());
  }

  for (int tap = 0; tap < 3; ++tap) console.sendMessage("/tempik/tap");
  ASSERT_TRUE(
      console.waitUntil([](const Log& log) { return !log.on(0, tempoCommand).empty(); }, patience));
  EXPECT_THAT(console.log().on(0, tempoCommand)[0].arguments,
              ::testing::ElementsAre("Effect 1 BPM 120#"));
  EXPECT_EQ(console.log().connections.size(), 1u) << "garbage is no reason to reconnect";

  const auto after = ProcessResources::now();
  std::printf(
      "heap in use %.2f -> %.2f -> %.2f -> %.2f MiB; resident %.1f -> %.1f (first "
      "barrage) -> %.1f (second) -> %.1f MiB (taps); descriptors %zu -> %zu, threads %zu "
      "-> %zu\n",
      static_cast<double>(before.heapInUseBytes) / MiB,
      static_cast<double>(afterBarrage[0].heapInUseBytes) / MiB,
      static_cast<double>(afterBarrage[1].heapInUseBytes) / MiB,
      static_cast<double>(after.heapInUseBytes) / MiB,
      static_cast<double>(before.residentBytes) / MiB,
      static_cast<double>(afterBarrage[0].residentBytes) / MiB,
      static_cast<double>(afterBarrage[1].residentBytes) / MiB,
      static_cast<double>(after.residentBytes) / MiB, before.descriptors, after.descriptors,
      before.threads, after.threads);
  EXPECT_EQ(after.descriptors, before.descriptors);
  EXPECT_EQ(after.threads, before.threads);
  if (residentMemoryIsMeaningful) {
    // Every byte allocated for the barrage was freed...
    EXPECT_LE(after.heapInUseBytes, before.heapInUseBytes + MiB);
    EXPECT_LE(afterBarrage[1].heapInUseBytes, afterBarrage[0].heapInUseBytes + MiB / 4);
    // ...though resident memory also counts this test's own 15 MiB of garbage and pages the
    // threads' arenas keep for reuse: it must still come back well below what was sent.
    EXPECT_LE(after.residentBytes, before.residentBytes + 16 * MiB);
  }
}

}  // namespace
}  // namespace tempik::faults
