#pragma once

#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>

#include "core/TempoMultiplier.h"
#include "ui/GlowImages.h"
#include "ui/PulseLevel.h"

namespace tempik::ui {

/// The big round tap button: a 220-pixel accent circle showing the tempo (or an en dash)
/// over "BPM" (over "not sent", marked in the warning colour, while the console has not got
/// the tempo shown, and under a quiet "×½" or "×2" in half or double time), with a glow that flares
/// on every beat while a tempo is known. It takes 300 x 300 pixels; a pointer press anywhere in the
/// inscribed 300-pixel circle runs the action once, when the pointer goes down.
///
/// It knows nothing of the controller: the window hands it the tempo, the last tap time
/// and the action. Frames are drawn at the display's refresh rate only while a tempo is
/// known, the button is shown and reduced motion is off; otherwise nothing wakes it.
/// Lives on the main thread. To assistive technologies it is one button, "Tap tempo",
/// described by its tempo ("No tempo", "120 BPM", "120 BPM, not sent", "120 BPM, double time");
/// the window announces changes.
///
/// It takes the keyboard focus on a click, showing a quiet ring; while focused, Space or
/// Return taps at key-down, once per press of the key (auto-repeat is ignored).
class PulsingTapButton final : public QWidget {
  Q_OBJECT

 public:
  static constexpr int circleDiameter = 220;
  static constexpr int margin = 40;
  static constexpr int side = circleDiameter + 2 * margin;

  explicit PulsingTapButton(QWidget* parent = nullptr);

  void setBpm(std::optional<std::int64_t> bpm);
  /// Whether the tempo shown has not reached the console.
  void setNotSent(bool notSent);
  void setMultiplier(core::TempoMultiplier multiplier);
  void setLastTap(std::optional<TimePoint> lastTap);
  void setAction(std::function<void()> action);
  /// Where the reduced-motion setting is read from; the desktop's by default.
  void setReduceMotionSource(std::function<bool()> source);

  /// Takes the keyboard focus and runs the action, as a press does.
  void press();

  [[nodiscard]] std::optional<std::int64_t> bpm() const { return bpm_; }
  [[nodiscard]] bool isNotSent() const { return notSent_; }
  /// "No tempo" or, for example, "120 BPM", "120 BPM, not sent" or "120 BPM, half time".
  [[nodiscard]] QString accessibleValue() const;
  /// The mark over the number: "×½", "×2", or empty at normal time.
  [[nodiscard]] QString multiplierMark() const;
  /// The number as drawn: the digits, or an en dash without a tempo.
  [[nodiscard]] QString tempoText() const;
  /// Whether frames are being requested.
  [[nodiscard]] bool isAnimating() const { return frameTimer_.isActive(); }

  [[nodiscard]] QSize sizeHint() const override { return {side, side}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void updateFrameClock();
  [[nodiscard]] bool reduceMotion() const;
  // The circle and its texts change only with the tempo; each frame redraws just the glow.
  // The focus ring, when `ring` is valid, is part of the face.
  struct Face {
    QString text;
    QString mark;
    bool notSent = false;
    QColor accent;
    QColor ring;
    friend bool operator==(const Face&, const Face&) = default;
  };
  [[nodiscard]] static QPixmap drawFace(const Face& face, double pixelRatio);

  std::optional<std::int64_t> bpm_;
  bool notSent_ = false;
  core::TempoMultiplier multiplier_ = core::TempoMultiplier::normal;
  std::optional<TimePoint> lastTap_;
  std::function<void()> action_;
  std::function<bool()> reduceMotionSource_;
  QTimer frameTimer_;
  GlowImages glowImages_{circleDiameter / 2.0};
  QPixmap faceImage_;
  Face face_;
};

}  // namespace tempik::ui
