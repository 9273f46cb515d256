#include "ui/Hints.h"

#include <QCoreApplication>

#include "core/EffectRange.h"

namespace tempik::ui {

QString hintText(const char* hint) {
  return QCoreApplication::translate("tempik::ui::Hints", hint);
}

const char* hostHintText(std::optional<core::HostAddressProblem> problem) {
  if (!problem) return nullptr;
  switch (*problem) {
    case core::HostAddressProblem::blank:
      return QT_TRANSLATE_NOOP("tempik::ui::Hints", "Enter the console's IP address or host name");
    case core::HostAddressProblem::hasPort:
      return QT_TRANSLATE_NOOP("tempik::ui::Hints", "Leave out the port: tempik always uses 3038");
    case core::HostAddressProblem::partOver255:
      return QT_TRANSLATE_NOOP("tempik::ui::Hints",
                               "Each part of an IP address is a number from 0 to 255");
    case core::HostAddressProblem::notAnAddress:
      break;
  }
  return QT_TRANSLATE_NOOP("tempik::ui::Hints",
                           "Enter an IP address like 10.101.100.101 or a host name");
}

bool effectHintShown(const std::string& bpmFX) {
  return !bpmFX.empty() && !core::EffectRange::parse(bpmFX);
}

bool macroHintShown(const std::string& bpmMacro, std::optional<std::int64_t> macroNumber) {
  return !bpmMacro.empty() && !macroNumber;
}

}  // namespace tempik::ui
