#pragma once

// Quantiles of the chi-square distribution for the global test of the
// adjustment, from the regularized lower incomplete gamma function (series
// below a + 1, Lentz's continued fraction above) inverted by bisection: exact
// to double precision for any number of degrees of freedom, where the
// Wilson-Hilferty approximation is poor for one or two.

#include <cstdint>

namespace quarrow {

// P(a, x): the regularized lower incomplete gamma function, a > 0, x >= 0.
double RegularizedLowerGamma(double a, double x);

// The x with P(chi-square with `degrees` of freedom <= x) = `probability`;
// degrees > 0, 0 < probability < 1.
double ChiSquareQuantile(std::int64_t degrees, double probability);

}  // namespace quarrow
