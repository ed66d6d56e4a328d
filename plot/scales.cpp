#include "plot/scales.h"

namespace quarrow {

AxisTicks TicksInside(double low, double high, int wanted) {
  AxisTicks ticks = RoundTicks(low, high, wanted);
  const double slack = ticks.step * 1e-6;
  std::erase_if(ticks.values,
                [&](double value) { return value < low - slack || value > high + slack; });
  return ticks;
}

QString Number(const QLocale& locale, double value, int decimals) {
  if (std::fabs(value) < 0.5 * std::pow(10.0, -decimals)) value = 0;  // no "-0.000"
  return locale.toString(value, 'f', decimals);
}

}  // namespace quarrow
