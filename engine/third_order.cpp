#include "engine/third_order.h"

#include <cmath>

namespace quarrow {

double AllowedMisclosure(double length, Units units) {
  return units == Units::kFeet ? std::sqrt(length / 5200) * 0.05 : std::sqrt(length / 1000) * 0.012;
}

int MaxBalanceDifference(Units units) { return units == Units::kFeet ? 33 : 10; }

}  // namespace quarrow
