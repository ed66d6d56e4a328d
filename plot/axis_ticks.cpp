#include "plot/axis_ticks.h"

#include <algorithm>
#include <cmath>

namespace quarrow {

namespace {

// Of 1, 2, 5 times a power of ten, the step that cuts `range` into the
// count of intervals nearest `wanted`.
double RoundStep(double range, int wanted) {
  const double power = std::pow(10.0, std::floor(std::log10(range / wanted)));
  double best = power;
  for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
    const double step = factor * power;
    if (std::fabs(range / step - wanted) < std::fabs(range / best - wanted)) best = step;
  }
  return best;
}

}  // namespace

AxisTicks RoundTicks(double low, double high, int wanted) {
  if (!std::isfinite(low) || !std::isfinite(high)) {
    low = 0;
    high = 1;
  }
  if (low > high) std::swap(low, high);
  // Values this far apart come only from a broken run; the axis stays drawable.
  if (!std::isfinite(high - low)) {
    low = std::max(low, -1e300);
    high = std::min(high, 1e300);
  }
  wanted = std::max(wanted, 1);
  if (high - low < 1e-9 * std::max(1.0, std::fabs(low))) {
    // Deliberate: a flat run still gets an axis one unit either side, so
    // that its line sits in the middle rather than on an edge.
    const double margin = std::max(1.0, std::fabs(low) * 1e-6);
    low -= margin;
    high += margin;
  }
  AxisTicks ticks;
  ticks.step = RoundStep(high - low, wanted);
  ticks.low = std::floor(low / ticks.step + 1e-9) * ticks.step;
  ticks.high = std::ceil(high / ticks.step - 1e-9) * ticks.step;
  ticks.decimals = std::max(0, static_cast<int>(-std::floor(std::log10(ticks.step) + 1e-9)));
  const auto count =
      std::min(1000LL, static_cast<long long>(std::llround((ticks.high - ticks.low) / ticks.step)));
  for (long long i = 0; i <= count; ++i) {
    // From the index rather than by adding, so that no error builds up.
    double value = ticks.low + static_cast<double>(i) * ticks.step;
    if (std::fabs(value) < ticks.step * 1e-9) value = 0;  // no "-0"
    ticks.values.push_back(value);
  }
  return ticks;
}

}  // namespace quarrow
