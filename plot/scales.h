#pragma once

// From data to the canvas: the linear scale of one axis, the range of the
// values it must show, the round ticks inside it, and the numbers written
// beside them.

#include <QLocale>
#include <QString>
#include <algorithm>
#include <cmath>
#include <limits>

#include "plot/axis_ticks.h"

namespace quarrow {

inline bool Finite(double x, double y) { return std::isfinite(x) && std::isfinite(y); }

// Data values to canvas coordinates along one axis. Far outside the canvas
// a coordinate is held at a distance the painter can still clip.
struct Scale {
  double low = 0, high = 1;  // data
  double from = 0, to = 1;   // canvas
  double operator()(double value) const {
    return std::clamp(from + (value - low) * (to - from) / (high - low), -1e6, 1e6);
  }
};

// The range of the finite values added, or none (Empty).
struct Range {
  double low = std::numeric_limits<double>::infinity();
  double high = -std::numeric_limits<double>::infinity();
  void Add(double value) {
    if (!std::isfinite(value)) return;
    // Deliberate: beyond this no survey goes, and the width of the range
    // must stay finite for the scales.
    value = std::clamp(value, -1e300, 1e300);
    low = std::min(low, value);
    high = std::max(high, value);
  }
  bool Empty() const { return low > high; }
};

// The ticks of RoundTicks that fall inside [low, high].
AxisTicks TicksInside(double low, double high, int wanted);

// `value` with `decimals` digits in `locale`'s form; a value that rounds to
// zero is written without a minus sign.
QString Number(const QLocale& locale, double value, int decimals);

}  // namespace quarrow
