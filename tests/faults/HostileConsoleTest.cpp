// Consoles that talk garbage or cannot be reached at all: tempik must not crash, hang, leak or
// let anything false through, and works again as soon as the console does.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ControllerUnderTest.h"
#include "link/OSCTCPFraming.h"
#include "support/ProcessResources.h"

namespace tempik::faults {
namespace {

using Bytes = link::Bytes;
using fakes::MiB;
using fakes::ProcessResources;
using fakes::residentMemoryIsMeaningful;
using namespace std::literals;

Bytes& operator<<(Bytes& bytes, std::string_view more) {
  bytes.insert(bytes.end(), more.begin(), more.end());
  return bytes;
}

/// Random bytes, frames that hold no decodable packet, a tap with a broken escape, 10 MiB
/// without END, bundles nested 1,000 deep, a burst of command-line feedback.
Bytes garbage(std::mt19937& random) {
  Bytes all(64 * 1024);
  for (auto& byte : all) byte = static_cast<std::uint8_t>(random());
  for (const std::string_view packet :
       {"/eos/out/user/20/cmd"sv, "/eos\0\0\0\0,s\0\0"sv, "/eos\0\0\0\0,b\0\0\x7f\xff\xff\xff"sv,
        "/eos\0\0\0\0,s\0\0\xff\xfe\0\0"sv, "#bundle\0\0\0\0"sv, ",s\0\0"sv, ""sv}) {
    const auto framed = link::slipEncode(Bytes(packet.begin(), packet.end()));
    all.insert(all.end(), framed.begin(), framed.end());
  }
  Bytes brokenTap = link::slipEncode(tap.rawData());
  brokenTap.insert(brokenTap.begin() + 4, {link::slip::ESC, 'x'});
  all.insert(all.end(), brokenTap.begin(), brokenTap.end());
  all << "\xc0/eos/out/user/20/cmd\0\0\0\0,s\0\0"sv;
  all.resize(all.size() + 10 * MiB, 'A');
  Bytes nested = tap.rawData();
  for (int level = 0; level < 1000; ++level) {
    const auto size = nested.size();
    Bytes outer;
    outer << "#bundle\0\0\0\0\0\0\0\0\1"sv;
    for (const int shift : {24, 16, 8, 0}) outer.push_back(std::uint8_t(size >> shift));
    outer.insert(outer.end(), nested.begin(), nested.end());
    nested = std::move(outer);
  }
  all << "\xc0"sv;
  const auto deep = link::slipEncode(nested);
  all.insert(all.end(), deep.begin(), deep.end());
  const auto feedback =
      link::slipEncode(osc::OSCMessage("/eos/out/user/20/cmd", {"LIVE: Chan 1#"}).rawData());
  for (int i = 0; i < 50'000; ++i) all.insert(all.end(), feedback.begin(), feedback.end());
  return all;
}

// Garbage twice: nothing false gets through, nothing stays behind, and tempik works on.
TEST(HostileConsole, GarbageCostsNothingAndTempikWorksOnAfterIt) {
  const auto console = consoleOnItsPort();
  // Judged by the garbage alone: slow under sanitizers, it must not count as a stall.
  console->setAnsweringPings(false);
  ControllerUnderTest tempik({{"eosIP", console->host()}, {"bpmFX", "1"}, {"bpmMacro", "7"}});
  ASSERT_TRUE(console->waitFor(effectKey, 2));
  tempik.settle();
  const auto before = ProcessResources::now();
  const auto seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  std::vector<ProcessResources> afterGarbage;
  for (std::size_t round = 1; round <= 2; ++round) {  // the second must not add to the first
    console->sendBytes(garbage(random));
    console->send(notRunning);  // understood after all that: two more presses
    ASSERT_TRUE(console->waitFor(effectKey, 2 + 2 * round));
    tempik.settle();
    afterGarbage.push_back(ProcessResources::now());
  }
  for (int i = 0; i < 3; ++i) console->send(tap);
  ASSERT_TRUE(console->waitFor(tempoCommand));
  EXPECT_EQ(tempik.onUiThread([](auto& c) { return c.tempo().taps().size(); }), 3u)
      << "a broken tap got through";
  EXPECT_EQ(console->log().connections.size(), 1u) << "garbage is no reason to reconnect";
  tempik.settle();
  const auto after = ProcessResources::now();
  std::printf("heap in use %.2f -> %.2f (garbage) -> %.2f MiB\n",
              double(before.heapInUseBytes) / MiB, double(afterGarbage[1].heapInUseBytes) / MiB,
              double(after.heapInUseBytes) / MiB);
  EXPECT_EQ(after.descriptors, before.descriptors);
  EXPECT_EQ(after.threads, before.threads);
  if (residentMemoryIsMeaningful) {
    EXPECT_LE(afterGarbage[1].heapInUseBytes, afterGarbage[0].heapInUseBytes + MiB / 4);
    EXPECT_LE(after.heapInUseBytes, before.heapInUseBytes + MiB);
  }
}

// The console cannot be reached: nothing listens at its address. tempik tries once at a time,
// one check pause apart, and holds no more as it goes. Text that names no console is never
// tried at all.
TEST(UnreachableConsole, OneAttemptAtATimeOnePauseApartWithoutGrowth) {
  ControllerUnderTest notAnAddress({{"eosIP", "eos console.invalid"}, {"bpmFX", "1"}});
  ControllerUnderTest refusing({{"eosIP", "127.0.0.99"}, {"bpmFX", "1"}});  // nobody listens
  constexpr std::size_t attempts = 30;
  ASSERT_TRUE(refusing.recorder->waitForAttempts(3, patience));
  const auto early = ProcessResources::now();
  ASSERT_TRUE(refusing.recorder->waitForAttempts(attempts, patience));
  const auto late = ProcessResources::now();
  const auto made = refusing.attemptsThatMadeAClient();
  const auto log = refusing.recorder->attempts();
  // Each attempt made exactly one client: none doubled, none left over.
  EXPECT_GE(made + 1, std::int64_t(log.size()));
  EXPECT_LE(made, std::int64_t(log.size()));
  for (std::size_t i = 1; i < attempts; ++i) {
    EXPECT_FALSE(link::isConnected(log[i].outcome));
    // The previous attempt was over before this one began, one pause before.
    const auto pause = log[i].started - *log[i - 1].finished;
    EXPECT_GE(pause, quick.connectionCheckPause) << i;
    EXPECT_LE(pause, quick.connectionCheckPause + 1500ms) << i;
  }
  const auto problem = [](ControllerUnderTest& tempik) {
    return tempik.onUiThread([](core::TempoController& c) { return c.connectionProblem(); });
  };
  EXPECT_EQ(problem(refusing), link::LinkProblem::refused);
  EXPECT_EQ(problem(notAnAddress), link::LinkProblem::badAddress);
  EXPECT_TRUE(notAnAddress.recorder->attempts().empty());
  EXPECT_EQ(late.descriptors, early.descriptors);
  EXPECT_EQ(late.threads, early.threads);
  if (residentMemoryIsMeaningful) {
    EXPECT_LE(late.heapInUseBytes, early.heapInUseBytes + MiB / 4);
  }
}

}  // namespace
}  // namespace tempik::faults
