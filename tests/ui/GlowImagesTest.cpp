#include "ui/GlowImages.h"

#include <gtest/gtest.h>

namespace tempik::ui {
namespace {

// Opacity of the halo at a distance from its centre, along the horizontal through it.
double alphaAt(const QImage& halo, double distance) {
  const int middle = halo.height() / 2;
  return halo.pixelColor(static_cast<int>(halo.width() / 2.0 + distance), middle).alphaF();
}

TEST(GlowImages, FadesSoftlyFromTheCircleEdgeOverTheBlurRadius) {
  GlowImages images(110.0);
  for (const double blur : {8.0, 20.0, 40.0}) {
    const QImage& halo = images.halo(blur, QColor(0x30, 0x8c, 0xc6), 1.0);
    EXPECT_EQ(halo.width(), static_cast<int>(2 * (110 + blur))) << blur;
    EXPECT_NEAR(alphaAt(halo, 110.0), 0.5, 0.08) << "half strength at the edge, blur " << blur;
    EXPECT_LT(alphaAt(halo, 110.0 + blur - 1), 0.05) << "gone one blur radius out, blur " << blur;
    double previous = 1.0;
    for (double distance = 100.0; distance < 110.0 + blur; distance += 1.0) {
      const double alpha = alphaAt(halo, distance);
      ASSERT_LE(alpha, previous + 0.01) << "fades outward, blur " << blur << " at " << distance;
      previous = alpha;
    }
  }
}

}  // namespace
}  // namespace tempik::ui
