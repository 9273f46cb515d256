#include "ui/GlowImages.h"

#include <QPainter>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

namespace tempik::ui {
namespace {

/// The opacity falls off from the circle's edge like a Gaussian blur of a disc: half
/// strength at the edge, almost nothing one blur radius out.
QImage drawHalo(double radius, double blurRadius, QColor colour, double devicePixelRatio) {
  const double outer = radius + blurRadius;
  const int pixels = static_cast<int>(std::ceil(2.0 * outer * devicePixelRatio));
  QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(devicePixelRatio);
  image.fill(Qt::transparent);

  const QPointF centre(pixels / devicePixelRatio / 2.0, pixels / devicePixelRatio / 2.0);
  const double sigma = blurRadius / 2.0;
  QRadialGradient gradient(centre, outer);
  constexpr int stops = 8;
  for (int i = -1; i <= stops; ++i) {
    const double distance = blurRadius * i / stops;  // beyond the circle's edge
    QColor stop = colour;
    stop.setAlphaF(i == stops
                       ? 0.0F
                       : static_cast<float>(0.5 * std::erfc(distance / (sigma * std::sqrt(2.0)))));
    gradient.setColorAt((radius + distance) / outer, stop);
  }
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(gradient);
  painter.drawEllipse(centre, outer, outer);
  return image;
}

}  // namespace

const QImage& GlowImages::halo(double blurRadius, QColor colour, double devicePixelRatio) {
  if (colour != colour_ || devicePixelRatio != devicePixelRatio_) {
    images_ = {};
    colour_ = colour;
    devicePixelRatio_ = devicePixelRatio;
  }
  const int step = std::clamp(static_cast<int>(std::lround((blurRadius - smallestBlur) / blurStep)),
                              0, steps - 1);
  QImage& image = images_[static_cast<std::size_t>(step)];
  if (image.isNull()) {
    image = drawHalo(circleRadius_, smallestBlur + step * blurStep, colour, devicePixelRatio);
  }
  return image;
}

}  // namespace tempik::ui
