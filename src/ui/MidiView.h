#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "core/TempoController.h"

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLabel;

namespace tempik::ui {

class TintedLabel;

/// The form's MIDI group: the source picker ("All", "None", then each source by name, a chosen
/// one that is not there marked "not found") with what MIDI is doing under it ("MIDI ·
/// nanoPAD2", "MIDI: none found", "JACK gone"); the MIDI tap's trigger in words ("Note 36 · ch
/// 10") with Learn (Cancel while it waits) and Clear; and the "Follow MIDI clock" switch with the
/// clock's status under it while it is on.
///
/// Screen readers hear each control with its state as the description: the picker with the
/// item chosen and what MIDI is doing, Learn with the trigger, the switch with the clock. No
/// control takes the keyboard on a click, and the picker ignores the wheel (it scrolls the window
/// instead), so neither a foot switch's key nor a scroll changes a setting. Shows what it is told
/// and calls its actions; main thread only.
class MidiView final : public QWidget {
  Q_OBJECT

 public:
  struct Actions {
    std::function<void(core::MidiSources)> choose;
    std::function<void(bool learn)> learn;
    std::function<void()> clear;
    std::function<void(bool follow)> followClock;
  };

  explicit MidiView(QWidget* parent = nullptr);

  /// What the operator's use of each control does.
  void setActions(Actions actions);
  /// The chosen sources and what the input last reported; calls no action.
  void setSources(const core::MidiSources& chosen,
                  const std::optional<core::MidiInputState>& state);
  void setTap(const std::optional<core::MidiTrigger>& trigger, bool learning);
  /// The clock while following it; nothing while not following.
  void setClock(const std::optional<core::MidiClockState>& clock);

  [[nodiscard]] QComboBox& sourcePicker() const { return *picker_; }
  [[nodiscard]] QAbstractButton& learnButton() const { return *learn_; }
  [[nodiscard]] QAbstractButton& clearButton() const { return *clear_; }
  [[nodiscard]] QCheckBox& clockSwitch() const { return *clockSwitch_; }
  /// The controls Tab reaches, in order.
  [[nodiscard]] std::array<QWidget*, 4> keyboardStops() const;
  [[nodiscard]] bool isLearning() const { return learning_; }
  /// What MIDI is doing, shown and spoken.
  [[nodiscard]] QString statusText() const;
  [[nodiscard]] QString spokenStatus() const;
  /// The trigger as shown, and as spoken (what Learn is described by).
  [[nodiscard]] QString tapText() const;
  [[nodiscard]] QString spokenTap() const;
  /// The clock's line; empty while it is hidden.
  [[nodiscard]] QString clockText() const;
  [[nodiscard]] QString spokenClock() const;

 private:
  QComboBox* picker_;
  TintedLabel* status_;
  QLabel* tap_;
  QAbstractButton* learn_;
  QAbstractButton* clear_;
  QCheckBox* clockSwitch_;
  TintedLabel* clock_;
  // What each of the picker's items chooses, by index.
  std::vector<core::MidiSources> choices_;
  bool learning_ = false;
  Actions actions_;
};

}  // namespace tempik::ui
