#pragma once

#include <QString>

namespace tempik::ui {

/// The credits text shown under the form and in the About dialog: the maker's line, then
/// the maker's web site as a link that opens in the default browser.
[[nodiscard]] QString creditsRichText();

/// The maker's web address.
[[nodiscard]] QString creditsUrl();

}  // namespace tempik::ui
