#pragma once

#include <QString>
#include <QtGlobal>
#include <cstdint>
#include <optional>
#include <string>

#include "core/HostAddress.h"

namespace tempik::ui {

// The hints in English; hintText() gives them in the operator's language.
inline constexpr const char* effectHintText = QT_TRANSLATE_NOOP(
    "tempik::ui::Hints", "Enter Effect numbers to apply this to or a range like 3000-4000");
inline constexpr const char* macroHintText =
    QT_TRANSLATE_NOOP("tempik::ui::Hints", "Enter a single Macro number");

/// A hint as shown: in the operator's language.
[[nodiscard]] QString hintText(const char* hint);

/// The host field's red hint for text that names no console, or nothing.
[[nodiscard]] const char* hostHintText(std::optional<core::HostAddressProblem> problem);

/// Whether the effect field shows its red hint: text was typed (blanks count) and it is
/// not an effect selection.
[[nodiscard]] bool effectHintShown(const std::string& bpmFX);

/// Whether the macro field shows its red hint: text was typed (blanks count) and it is not
/// a macro number.
[[nodiscard]] bool macroHintShown(const std::string& bpmMacro,
                                  std::optional<std::int64_t> macroNumber);

}  // namespace tempik::ui
