#include "network/chi_square.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quarrow {

double RegularizedLowerGamma(double a, double x) {
  if (x <= 0) return 0;
  const double log_prefix = a * std::log(x) - x - std::lgamma(a);
  if (x < a + 1) {
    // The series converges quickly below a + 1.
    double term = 1 / a;
    double sum = term;
    for (int n = 1; n < 100000; ++n) {
      term *= x / (a + n);
      sum += term;
      if (std::fabs(term) < std::fabs(sum) * 1e-17) break;
    }
    return std::min(1.0, sum * std::exp(log_prefix));
  }
  // The continued fraction of the upper function converges above a + 1.
  const double tiny = std::numeric_limits<double>::min() / std::numeric_limits<double>::epsilon();
  double b = x + 1 - a;
  double c = 1 / tiny;
  double d = 1 / b;
  double h = d;
  for (int i = 1; i < 100000; ++i) {
    const double an = -i * (i - a);
    b += 2;
    d = an * d + b;
    if (std::fabs(d) < tiny) d = tiny;
    c = b + an / c;
    if (std::fabs(c) < tiny) c = tiny;
    d = 1 / d;
    const double step = d * c;
    h *= step;
    if (std::fabs(step - 1) < 1e-16) break;
  }
  return std::max(0.0, 1 - std::exp(log_prefix) * h);
}

double ChiSquareQuantile(std::int64_t degrees, double probability) {
  const double a = static_cast<double>(degrees) / 2;
  double low = 0;
  double high = static_cast<double>(degrees) + 10;
  while (RegularizedLowerGamma(a, high / 2) < probability) high *= 2;
  // Bisection: P is monotone, and 200 halvings exhaust a double.
  for (int i = 0; i < 200 && high - low > high * 1e-15; ++i) {
    const double middle = (low + high) / 2;
    if (RegularizedLowerGamma(a, middle / 2) < probability) {
      low = middle;
    } else {
      high = middle;
    }
  }
  return (low + high) / 2;
}

}  // namespace quarrow
