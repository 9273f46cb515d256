#pragma once

#include <QDBusMessage>
#include <QObject>
#include <functional>

#include "ui/ColorScheme.h"

namespace tempik::ui {

/// The scheme in a portal's answer: the number, however many variants it comes wrapped in
/// (Read answers a variant inside a variant, SettingChanged one); no preference otherwise.
[[nodiscard]] ColorScheme colorSchemeFromPortalValue(const QVariant& value);

/// Follows the desktop's light or dark preference through the freedesktop appearance
/// portal on the session bus: asks once, without waiting for the answer, then listens
/// for changes. Where there is no session bus or no portal answers, it never calls the
/// listener, so the platform's palette stays. Nothing polls: idle stays idle.
/// Lives on the main thread; the listener is called there.
class ColorSchemePortal final : public QObject {
  Q_OBJECT

 public:
  using Listener = std::function<void(ColorScheme)>;

  explicit ColorSchemePortal(Listener listener, QObject* parent = nullptr);

 private slots:
  void settingChanged(const QDBusMessage& message);

 private:
  void tell(const QVariant& value);

  Listener listener_;
  bool changed_ = false;
};

}  // namespace tempik::ui
