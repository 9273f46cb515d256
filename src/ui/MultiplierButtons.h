#pragma once

#include <QWidget>
#include <array>
#include <functional>

#include "core/TempoMultiplier.h"

class QAbstractButton;
class QButtonGroup;

namespace tempik::ui {

/// Half time, normal or double time: three exclusive checkable buttons, "×½", "×1" and "×2"
/// (to assistive technologies "Half time", "Normal time" and "Double time"). A click takes
/// no keyboard focus, so the tap button keeps it. As radio buttons do, they are one Tab stop,
/// the chosen button, and the arrow keys move and choose. Main thread only.
class MultiplierButtons final : public QWidget {
  Q_OBJECT

 public:
  explicit MultiplierButtons(QWidget* parent = nullptr);

  /// Checks the multiplier's button; calls no action.
  void setMultiplier(core::TempoMultiplier multiplier);
  /// What a press of a button (click, or Space while it has the focus) chooses.
  void setAction(std::function<void(core::TempoMultiplier)> action);

  [[nodiscard]] QAbstractButton& button(core::TempoMultiplier multiplier) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QButtonGroup* group_;
  std::array<QAbstractButton*, 3> buttons_{};
  std::function<void(core::TempoMultiplier)> action_;
};

}  // namespace tempik::ui
