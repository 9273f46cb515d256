#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/EffectRange.h"

namespace tempik::core {

/// One OSC message for the console: an address and its string arguments. The controller
/// always acts as console user 20.
struct ConsoleCommand {
  std::string address;
  std::vector<std::string> arguments;
  friend bool operator==(const ConsoleCommand&, const ConsoleCommand&) = default;
};

namespace console {
inline constexpr const char* newCommandAddress = "/eos/user/20/newcmd";
inline constexpr const char* effectKeyAddress = "/eos/user/20/key/effect";
inline constexpr const char* commandLineAddress = "/eos/out/user/20/cmd";
inline constexpr const char* tapAddress = "/tempik/tap";
/// The console answers a ping with its reply, carrying the same arguments.
inline constexpr const char* pingAddress = "/eos/ping";
inline constexpr const char* pingReplyAddress = "/eos/out/ping";
}  // namespace console

/// What sets a tempo of `bpm` on the console, in sending order: "Effect <selection> BPM
/// <bpm>#" on the command line when there is a selection, then "BPM || <bpm>" as the label
/// of the macro when there is one. Empty when there is neither.
[[nodiscard]] std::vector<ConsoleCommand> tempoCommands(std::int64_t bpm,
                                                        const std::optional<EffectRange>& effects,
                                                        std::optional<std::int64_t> macro);

/// One press of the console's Effect key.
[[nodiscard]] ConsoleCommand effectKeyPress();

}  // namespace tempik::core
