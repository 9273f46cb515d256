#include "core/ConsoleCommands.h"

namespace tempik::core {

std::vector<ConsoleCommand> tempoCommands(std::int64_t bpm,
                                          const std::optional<EffectRange>& effects,
                                          std::optional<std::int64_t> macro) {
  std::vector<ConsoleCommand> commands;
  const std::string tempo = std::to_string(bpm);
  if (effects) {
    commands.push_back(
        {console::newCommandAddress, {"Effect " + effects->eosSyntax() + " BPM " + tempo + "#"}});
  }
  if (macro) {
    commands.push_back(
        {"/eos/set/macro/" + std::to_string(*macro) + "/label", {"BPM || " + tempo}});
  }
  return commands;
}

ConsoleCommand effectKeyPress() {
  return {console::effectKeyAddress, {}};
}

}  // namespace tempik::core
