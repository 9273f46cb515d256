#pragma once

#include <QTimer>
#include <QWidget>
#include <chrono>
#include <memory>
#include <vector>

#include "core/Observation.h"
#include "core/TempoController.h"
#include "core/WallClock.h"
#include "ui/Credits.h"

class QLabel;
class QLineEdit;

namespace tempik::ui {

class Announcer;
class EosConnectionStatusView;
class LinkFollowView;
class MidiView;
class MultiplierButtons;
class PulsingTapButton;
class TapWindowDots;
class TintedLabel;

/// The window's whole content, 400 pixels wide, top to bottom: the tap button, the tap
/// dots, the settings form (host and connection status; effects and macro with their red
/// hints; the "Follow Ableton Link" switch, when tempik can follow, with the session's status,
/// and the half / normal / double time buttons; the MIDI group, when tempik has MIDI) and the
/// credits line.
///
/// The tap button holds the keyboard focus from the start: Escape or Return in a field, a
/// click beside the fields, or ten seconds without a key in a field hands it back (so a foot
/// switch never types into a field left alone); the switches, the time buttons and the MIDI
/// controls take no focus on a click and give it back by the same rules when Tab reached them.
/// Tab runs host, effects, macro, the Link switch, the chosen time button, the MIDI controls,
/// the credits link (when there is one) and the button. H, N and D choose half, normal and
/// double time wherever the keyboard is but in a field, which types them (the MIDI picker
/// would take them for its items' first letters).
///
/// It never shows more than the controller knows: "not sent" on the button while the console
/// has not got the tempo shown, why the console is not connected under the status, a red hint
/// under a host that names no console, and a line when settings cannot be saved. Screen
/// readers hear each new tempo, and whether it was sent, the MIDI input picked, and Learn as it
/// starts and ends.
///
/// A thin adapter over the controller: it shows the controller's properties as they change,
/// assigns each field's whole text to the controller on every edit, and hands each press of
/// the button to the controller with the time of the press. Its height follows its content,
/// so it grows by one row while a hint shows. Lives on the main thread, the controller's.
class ContentView final : public QWidget {
  Q_OBJECT

 public:
  static constexpr int contentWidth = 400;
  /// How long a field keeps the keyboard without a key pressed in it.
  static constexpr std::chrono::milliseconds fieldIdleTime{10'000};

  /// The credits link goes to `creditsLink`; without one the credits only name the maker.
  ContentView(std::shared_ptr<core::TempoController> controller,
              std::shared_ptr<const core::WallClock> clock, QWidget* parent = nullptr,
              const QString& creditsLink = creditsUrl());
  ~ContentView() override;

  [[nodiscard]] PulsingTapButton& tapButton() const { return *tapButton_; }
  [[nodiscard]] TapWindowDots& tapDots() const { return *tapDots_; }
  [[nodiscard]] EosConnectionStatusView& connectionStatus() const { return *connectionStatus_; }
  [[nodiscard]] QLineEdit& hostField() const { return *hostField_; }
  [[nodiscard]] QLineEdit& effectField() const { return *effectField_; }
  [[nodiscard]] QLineEdit& macroField() const { return *macroField_; }
  [[nodiscard]] bool isEffectHintShown() const;
  [[nodiscard]] bool isMacroHintShown() const;
  /// The host field's hint, empty while it is hidden.
  [[nodiscard]] QString hostHint() const;
  /// The line about settings that cannot be saved, empty while it is hidden.
  [[nodiscard]] QString settingsProblemText() const;
  [[nodiscard]] QLabel& credits() const { return *credits_; }
  [[nodiscard]] LinkFollowView& linkFollow() const { return *linkFollow_; }
  [[nodiscard]] MultiplierButtons& multiplierButtons() const { return *multiplierButtons_; }
  [[nodiscard]] MidiView& midi() const { return *midi_; }
  /// The height its rows need at its fixed width, wrapped lines (a long reason, a hint) and all.
  [[nodiscard]] QSize sizeHint() const override;
  /// The same: its rows are never squeezed (a shorter screen scrolls them instead).
  [[nodiscard]] QSize minimumSizeHint() const override { return sizeHint(); }
  [[nodiscard]] const Announcer& announcer() const { return *announcer_; }
  /// Shortens the field idle time (tests).
  void setFieldIdleTime(std::chrono::milliseconds idle) { fieldIdle_.setInterval(idle); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void showProperty(core::ObservedProperty property);
  void showAll();
  void showTempo();
  void showMidiTap();
  void handKeyboardBack();
  /// The focus stops other than the button and the credits, in Tab's order: they give the
  /// keyboard back when left alone.
  [[nodiscard]] std::vector<QWidget*> briefStops() const;
  [[nodiscard]] bool holdsKeyboardBriefly(const QWidget* widget) const;

  std::shared_ptr<core::TempoController> controller_;
  std::shared_ptr<const core::WallClock> clock_;
  PulsingTapButton* tapButton_;
  TapWindowDots* tapDots_;
  EosConnectionStatusView* connectionStatus_;
  QLineEdit* hostField_;
  QLineEdit* effectField_;
  QLineEdit* macroField_;
  QWidget* hostHintRow_;
  TintedLabel* hostHint_;
  QWidget* effectHintRow_;
  QWidget* macroHintRow_;
  TintedLabel* settingsProblem_;
  LinkFollowView* linkFollow_;
  MultiplierButtons* multiplierButtons_;
  MidiView* midi_;
  QLabel* credits_;
  Announcer* announcer_;
  QTimer fieldIdle_;
  // What was last shown and announced of the tempo.
  std::optional<std::int64_t> shownBpm_;
  bool shownNotSent_ = false;
  // True while the operator's cancel of Learn is on its way: no tap was learned.
  bool cancelsLearning_ = false;
  // The beat the glow counts from while no tap has been made (the tempo came from Link).
  std::optional<std::chrono::system_clock::time_point> firstTempoShown_;
  // Last, so that it unsubscribes before the widgets it updates go.
  core::Subscription subscription_;
};

}  // namespace tempik::ui
