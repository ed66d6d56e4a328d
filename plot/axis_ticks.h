#pragma once

// Round numbers for the axes of the profile picture: steps of 1, 2 or 5 times
// a power of ten, so that a reader can interpolate between grid lines.

#include <vector>

namespace quarrow {

struct AxisTicks {
  double low = 0;   // the axis starts here: a multiple of step at or below the data
  double high = 1;  // and ends here: a multiple of step at or above the data
  double step = 1;
  int decimals = 0;            // digits after the decimal point that show every tick exactly
  std::vector<double> values;  // low, low + step, ... high
};

// Ticks covering [low, high] with about `wanted` intervals (at least 1). A
// range of no width (one value, or a flat run) is widened around its value;
// non-finite bounds give the ticks of [0, 1].
AxisTicks RoundTicks(double low, double high, int wanted);

}  // namespace quarrow
