#include "plot/palette.h"

#include <algorithm>
#include <cmath>

namespace quarrow {

QFont Font(int pixels, bool bold) {
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPixelSize(pixels);
  font.setBold(bold);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

QColor ResidualColour(double standardized, double flag_limit) {
  if (!std::isfinite(standardized)) return kUnchecked;
  const double limit = std::isfinite(flag_limit) && flag_limit > 0 ? flag_limit : 3.29;
  // Hue, saturation and value, so that the colours between the stops stay
  // clear (blue, green, amber) rather than mixing to grey.
  struct Stop {
    double at;  // a fraction of the limit
    double hue, saturation, value;
  };
  // Deliberate: amber where a normal residual is beyond its 95 % point, so
  // that the eye finds first what a reviewer would look at first.
  const Stop stops[] = {{0, 212, 0.70, 0.72},
                        {0.8 / 3.29, 180, 0.75, 0.62},
                        {1.96 / 3.29, 40, 1.0, 0.88},
                        {1, 6, 0.86, 0.84},
                        {kResidualScaleReach, 0, 1.0, 0.50}};
  const double at = std::min(std::fabs(standardized) / limit, kResidualScaleReach);
  std::size_t i = 1;
  while (i + 1 < std::size(stops) && at > stops[i].at) ++i;
  const Stop& low = stops[i - 1];
  const Stop& high = stops[i];
  const double t = std::clamp((at - low.at) / (high.at - low.at), 0.0, 1.0);
  auto mix = [t](double a, double b) { return a + (b - a) * t; };
  return QColor::fromHsvF(static_cast<float>(mix(low.hue, high.hue) / 360),
                          static_cast<float>(mix(low.saturation, high.saturation)),
                          static_cast<float>(mix(low.value, high.value)));
}

}  // namespace quarrow
