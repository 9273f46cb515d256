#include "ui/Hints.h"

#include "core/EffectRange.h"

namespace tempik::ui {

bool effectHintShown(const std::string& bpmFX) {
  return !bpmFX.empty() && !core::EffectRange::parse(bpmFX);
}

bool macroHintShown(const std::string& bpmMacro, std::optional<std::int64_t> macroNumber) {
  return !bpmMacro.empty() && !macroNumber;
}

}  // namespace tempik::ui
