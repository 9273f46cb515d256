// The rules that turn what the operator does and types into what the console gets: taps into
// a tempo, the effect field into console syntax, the macro field into a macro number, the host
// field into a console to try (or why not).
#include <gtest/gtest.h>

#include "core/EffectRange.h"
#include "core/HostAddress.h"
#include "core/MacroNumber.h"
#include "core/MidiClockTempo.h"
#include "core/MidiInput.h"
#include "core/MidiTrigger.h"
#include "core/TapTempo.h"

namespace tempik::core {
namespace {

std::vector<TapTempo::TimePoint> atSeconds(const std::vector<double>& seconds) {
  std::vector<TapTempo::TimePoint> times;
  for (double s : seconds) {
    times.push_back(TapTempo::TimePoint{} + std::chrono::hours(24 * 365 * 56) +
                    std::chrono::duration_cast<TapTempo::TimePoint::duration>(
                        std::chrono::duration<double>(s)));
  }
  return times;
}

TEST(TapTempo, SequencesLeaveTheWindowAndTempo) {
  const struct {
    const char* name;
    std::vector<double> fed, expectedTaps;
    std::optional<std::int64_t> expectedBpm;
  } cases[] = {
      {"two taps", {0.0, 0.5}, {0.0, 0.5}, std::nullopt},
      {"third tap sets the tempo", {0.0, 0.5, 1.0}, {0.0, 0.5, 1.0}, 120},
      {"window keeps the four newest", {0.0, 0.5, 1.0, 1.5, 2.3}, {0.5, 1.0, 1.5, 2.3}, 100},
      {"bounce ignored", {0.0, 0.5, 1.0, 1.5, 2.3, 2.35}, {0.5, 1.0, 1.5, 2.3}, 100},
      {"long pause keeps the old tempo", {0.0, 0.5, 1.0, 1.5, 2.3, 8.0}, {8.0}, 100},
      {"new sequence rounds, not truncates",
       {0.0, 0.5, 1.0, 1.5, 2.3, 8.0, 8.47, 8.94},
       {8.0, 8.47, 8.94},
       128},
      {"shortest gap accepted", {0.0, 0.1, 0.2, 0.3}, {0.0, 0.1, 0.2, 0.3}, 600},
      {"just under the shortest gap is a bounce", {0.0, 0.0999, 0.5}, {0.0, 0.5}, std::nullopt},
      {"longest gap accepted", {0.0, 5.0, 10.0}, {0.0, 5.0, 10.0}, 12},
      {"just over the longest gap restarts", {0.0, 5.0, 10.001}, {10.001}, std::nullopt},
      {"clock going backwards restarts", {10.0, 10.5, 11.0, 9.0}, {9.0}, 120},
  };
  for (const auto& c : cases) {
    TapTempo tempo;
    for (const auto at : atSeconds(c.fed)) tempo.recordTap(at);
    EXPECT_EQ(tempo.taps(), atSeconds(c.expectedTaps)) << c.name;
    EXPECT_EQ(tempo.bpm(), c.expectedBpm) << c.name;
  }
}

// Operators paste from documents, so no-break and em spaces separate and trim like spaces,
// but a zero-width space, cut-off UTF-8 and Arabic-Indic digits are nothing of the kind.
TEST(EffectRange, ParsesIntoConsoleSyntaxKeepingTokensAsTyped) {
  const std::pair<const char*, const char*> valid[] = {{"1, 2, 3", "1 + 2 + 3"},
                                                       {"1 2 3", "1 + 2 + 3"},
                                                       {"1,,2 3", "1 + 2 + 3"},
                                                       {"007,3", "007 + 3"},
                                                       {"\t12\r\n", "12"},
                                                       {"0.001", "0.001"},
                                                       {"9999.999", "9999.999"},
                                                       {" \t3000\t-\t4000 ", "3000 Thru 4000"},
                                                       {"3000-", "3000 Thru -"},
                                                       {"3000 -  ", "3000 Thru -"},
                                                       {"1.5-1.501", "1.5 Thru 1.501"},
                                                       {"1\u00A02\u20033", "1 + 2 + 3"},
                                                       {"\u3000\u2028 7 \u0085", "7"},
                                                       {"1\u202F,\u205F2\u16803", "1 + 2 + 3"}};
  for (const auto& [text, syntax] : valid) {
    const auto range = EffectRange::parse(text);
    ASSERT_TRUE(range.has_value()) << ::testing::PrintToString(text);
    EXPECT_EQ(range->eosSyntax(), syntax) << ::testing::PrintToString(text);
  }
  const char* const invalid[] = {
      "",         "   ",          ",, ,\n", "0",         "0.0",      "000",          "12345",
      "1.2345",   ".5",           "5.",     "1e3",       "1;2",      "1 x",          "+1",
      "\xd9\xa3", "123456789012", "-4000",  "4000-3000", "5-5",      "5-05.000",     "1.5-1.50",
      "1-2-3",    "1,2-5",        "0-5",    "-",         "1\u200B2", "\u00A0\u2003", "1\xC2"};
  for (const char* text : invalid) {
    EXPECT_FALSE(EffectRange::parse(text).has_value()) << ::testing::PrintToString(text);
  }
}

TEST(MacroNumber, AcceptsOneToNinetyNineThousandNineHundredNinetyNine) {
  const std::optional<std::int64_t> none;
  const std::pair<const char*, std::optional<std::int64_t>> cases[] = {
      {"12", 12},       {" \t7 \t", 7}, {"+5", 5},          {"99999", 99999},
      {"00042", 42},    {"1", 1},       {"0", none},        {"-3", none},
      {"100000", none}, {"1.5", none},  {"12a", none},      {"", none},
      {"42\n", none},   {"+-5", none},  {"\u00A042", none}, {"99999999999999999999999", none}};
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(parseMacroNumber(text), expected) << '"' << text << '"';
  }
}

TEST(HostAddress, TriesAddressesAndNamesAndTellsWhatElseIsWrong) {
  using P = HostAddressProblem;
  const std::pair<std::optional<P>, std::vector<const char*>> cases[] = {
      {std::nullopt,
       {"10.101.100.101", " 127.0.0.1\t", "::1", "fe80::1%eth0", "eos-console", "eos.local.",
        "255.255.255.255"}},
      {P::blank, {"", " \u2003"}},
      {P::hasPort, {"127.0.0.1:3038", "[::1]:3038", "eos:3038"}},
      {P::partOver255, {"999.1.1.1", "10.0.0.256"}},
      {P::notAnAddress,
       {"10.0.0", "10..0.1", "10.0.0.1.2", "eos console", "-eos", "eos:console", "[::1]", "fe80::g",
        "\xC3\xA9os"}},
  };
  for (const auto& [problem, texts] : cases) {
    for (const char* text : texts) EXPECT_EQ(hostAddressProblem(text), problem) << text;
  }
}

// The window's rules at its edges; jitter is the controller's tests' business.
TEST(MidiClockTempo, MeasuresFourBeatsAndBeginsAgainWhenTimeGoesBack) {
  const auto at = [](double beats) { return atSeconds({beats * 0.5})[0]; };  // 120 BPM
  MidiClockTempo clock;
  for (int i = 0; i < 95; ++i) ASSERT_FALSE(clock.clock(at(i / 24.0))) << i;
  EXPECT_NEAR(clock.clock(at(95 / 24.0)).value_or(0), 120.0, 1e-6);
  EXPECT_FALSE(clock.clock(at(3))) << "a clock earlier than the last begins a new count";
  for (int i = 1; i < 95; ++i) ASSERT_FALSE(clock.clock(at(3 + i / 48.0))) << i;
  EXPECT_NEAR(clock.clock(at(3 + 95 / 48.0)).value_or(0), 240.0, 1e-6);
}

TEST(MidiSettings, ReadTriggersAndSourcesAsTypedAndNothingOutOfRange) {
  using K = MidiTrigger::Kind;
  const std::pair<const char*, std::optional<MidiTrigger>> triggers[] = {
      {"note 10 36", MidiTrigger{K::note, 10, 36}},
      {" cc 1  64 ", MidiTrigger{K::controller, 1, 64}},
      {"note 16 127", MidiTrigger{K::note, 16, 127}},
      {"cc 1 0", MidiTrigger{K::controller, 1, 0}},
      {"note 0 36", std::nullopt},
      {"note 17 36", std::nullopt},
      {"cc 1 128", std::nullopt},
      {"note 1 -1", std::nullopt},
      {"note 1", std::nullopt},
      {"note 1 2 3", std::nullopt},
      {"pad 1 2", std::nullopt},
      {"note 1 2x", std::nullopt},
      {"", std::nullopt}};
  for (const auto& [text, expected] : triggers) {
    EXPECT_EQ(parseMidiTrigger(text), expected) << text;
    if (expected) {
      EXPECT_EQ(parseMidiTrigger(settingsText(*expected)), expected) << text;
    }
  }
  const std::pair<const char*, const char*> sources[] = {
      {"", "all"}, {"all", "all"}, {"none", "none"}, {" nanoPAD2 MIDI 1 ", "nanoPAD2 MIDI 1"}};
  for (const auto& [text, expected] : sources) {
    EXPECT_EQ(settingsText(parseMidiSources(text)), expected) << text;
  }
  EXPECT_EQ(parseMidiSources("none2").kind, MidiSources::Kind::named);
}

}  // namespace
}  // namespace tempik::core
