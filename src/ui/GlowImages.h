#pragma once

#include <QColor>
#include <QImage>
#include <array>

namespace tempik::ui {

/// Soft halos around a circle, as a shadow of the circle blurred by a given radius would
/// look, drawn once per blur step and then reused: a pulsing glow costs one image blit per
/// frame instead of a gradient fill. The images are at full strength; draw them with the
/// glow's opacity. Main thread only.
class GlowImages {
 public:
  static constexpr double smallestBlur = 8.0;
  static constexpr double largestBlur = 40.0;
  static constexpr double blurStep = 2.0;

  explicit GlowImages(double circleRadius) : circleRadius_(circleRadius) {}

  /// The halo for the blur radius (rounded to the nearest step), centred in the image.
  /// Images already drawn are dropped when the colour or the pixel ratio changes.
  [[nodiscard]] const QImage& halo(double blurRadius, QColor colour, double devicePixelRatio);

 private:
  static constexpr int steps = static_cast<int>((largestBlur - smallestBlur) / blurStep) + 1;

  double circleRadius_;
  QColor colour_;
  double devicePixelRatio_ = 0.0;
  std::array<QImage, steps> images_;
};

}  // namespace tempik::ui
