// What MIDI bytes mean to tempik, and what the arrival times make of them.
#include <gtest/gtest.h>

#include "midi/ArrivalClock.h"
#include "midi/MidiStreamParser.h"
#include "midi/SourceName.h"

namespace tempik::midi {
namespace {

using core::MidiClockMessage;
using core::MidiControlChange;
using core::MidiMessage;
using core::MidiNoteOn;

TEST(MidiStreamParser, ReadsWhatMidiMeansAndNothingElse) {
  const struct {
    const char* name;
    std::vector<std::vector<std::uint8_t>> chunks;
    std::vector<MidiMessage> expected;
  } cases[] = {
      {"note-on, channel 10", {{0x99, 36, 100}}, {MidiNoteOn{10, 36, 100}}},
      {"running status",
       {{0x90, 60, 1, 61, 0, 62, 127}},
       {MidiNoteOn{1, 60, 1}, MidiNoteOn{1, 61, 0}, MidiNoteOn{1, 62, 127}}},
      {"a message across chunks",
       {{0xB3}, {64}, {127, 64, 0}},
       {MidiControlChange{4, 64, 127}, MidiControlChange{4, 64, 0}}},
      {"real-time inside a message",
       {{0x90, 0xF8, 36, 0xFE, 0xFA, 90}},
       {MidiClockMessage::clock, MidiClockMessage::start, MidiNoteOn{1, 36, 90}}},
      {"transport",
       {{0xFB, 0xFC, 0xF9, 0xFD, 0xFF}},
       {MidiClockMessage::continueClock, MidiClockMessage::stop}},
      {"SysEx of any length, and no running status after it",
       {{0x90, 1, 1, 0xF0, 0x7D, 36, 100}, std::vector<std::uint8_t>(5000, 0x11), {0xF7, 36, 99}},
       {MidiNoteOn{1, 1, 1}}},
      {"SysEx ended by a status byte",
       {{0xF0, 1, 2, 0xB0, 7, 100}},
       {MidiControlChange{1, 7, 100}}},
      {"system common takes its data bytes",
       {{0x90, 0xF2, 0x90, 36, 0xF1, 36, 0xF3, 1, 50, 60}},
       {}},
      {"undefined status bytes drop the data after them",
       {{0xF4, 36, 100, 0xF5, 36, 100, 0xF7, 36, 100}},
       {}},
      {"other channel messages change nothing",
       {{0x80, 36, 0, 0xA0, 1, 2, 0xC0, 5, 6, 0xD0, 7, 0xE0, 0, 64, 0xB1, 64, 127}},
       {MidiControlChange{2, 64, 127}}},
      {"stray data", {{36, 100, 0x80}, {0, 0}}, {}},
  };
  for (const auto& c : cases) {
    MidiStreamParser parser;
    std::vector<MidiMessage> read;
    for (const auto& chunk : c.chunks) {
      for (auto& message : parser.read(chunk)) read.push_back(message);
    }
    EXPECT_EQ(read, c.expected) << c.name;
  }
}

TEST(ArrivalClock, KeepsTheSystemsSpacingUnlessItWouldLie) {
  using std::chrono::milliseconds;
  const ArrivalClock::TimePoint t0{std::chrono::hours(500'000)};
  ArrivalClock clock;
  EXPECT_EQ(clock.stamp(0.0, t0), t0) << "the first message arrives when it is read";
  // A period's messages read together keep their spacing.
  EXPECT_EQ(clock.stamp(0.005, t0 + milliseconds(21)), t0 + milliseconds(5));
  EXPECT_EQ(clock.stamp(0.010, t0 + milliseconds(21)), t0 + milliseconds(15));
  EXPECT_EQ(clock.stamp(0.5, t0 + milliseconds(30)), t0 + milliseconds(30)) << "not in the future";
  EXPECT_EQ(clock.stamp(0.001, t0 + milliseconds(300)), t0 + milliseconds(300)) << "lags too far";
  EXPECT_EQ(clock.stamp(-0.002, t0 + milliseconds(301)), t0 + milliseconds(300)) << "not before";
}

TEST(SourceName, LeavesOffOnlyAlsasNumbers) {
  for (const auto& [listed, kept] : std::initializer_list<std::pair<const char*, const char*>>{
           {"nanoPAD2:nanoPAD2 MIDI 1 20:0", "nanoPAD2:nanoPAD2 MIDI 1"},
           {"Midi Through:Midi Through Port-0 14:0", "Midi Through:Midi Through Port-0"},
           {"pedal 2:1", "pedal"},
           {"pedal 2:x", "pedal 2:x"},
           {"pedal 20", "pedal 20"},
           {"pedal :1", "pedal :1"},
           {"pedal", "pedal"}}) {
    EXPECT_EQ(withoutAlsaAddress(listed), kept);
  }
}

}  // namespace
}  // namespace tempik::midi
