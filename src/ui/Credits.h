#pragma once

#include <QColor>
#include <QString>

namespace tempik::ui {

class TintedLabel;

/// The credits text shown under the form and in the About dialog: the maker's line and,
/// when the build names a web site, that site as a link in the given colour that opens in
/// the default browser.
[[nodiscard]] QString creditsRichText(const QString& url, const QColor& linkColour);

/// The maker's web address as the build set it; empty when it names none.
[[nodiscard]] QString creditsUrl();

/// The credits as a centred line in the smallest text, dimmed, link included. Keyboard
/// focus reaches it only when it holds a link.
[[nodiscard]] TintedLabel* makeCreditsLabel(const QString& url = creditsUrl());

}  // namespace tempik::ui
