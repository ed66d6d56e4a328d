#include "plot/axis_ticks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quarrow {
namespace {

TEST(RoundTicks, StepsOfOneTwoOrFiveNearTheWantedCount) {
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    double low, high;
    int wanted;
    double step, first, last;
    int decimals;
  } cases[] = {
      {0, 200.244, 10, 20, 0, 220, 0},
      {0, 4533.355, 10, 500, 0, 5000, 0},
      {431.6, 438.4, 8, 1, 431, 439, 0},
      {99.91, 100.0, 8, 0.01, 99.91, 100.0, 2},
      {-41.25, 41.25, 4, 20, -60, 60, 0},
      {-12.5, 12.5, 4, 5, -15, 15, 0},
      {0, 1e6, 10, 100000, 0, 1e6, 0},
      {-0.3, 0.3, 6, 0.1, -0.3, 0.3, 1},  // its zero is +0: no "-0.0" on the axis
      {0, 0.003, 5, 0.0005, 0, 0.003, 4},
      {5, 5, 4, 0.5, 4, 6, 1},     // a flat run is widened around its value
      {10, 0, 5, 2, 0, 10, 0},     // bounds the wrong way round
      {0, 1, 0, 1, 0, 1, 0},       // at least one interval
      {-inf, 3, 5, 0.2, 0, 1, 1},  // broken bounds give [0, 1]
      {std::nan(""), 3, 5, 0.2, 0, 1, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.low << " to " << c.high << ", " << c.wanted);
    const AxisTicks ticks = RoundTicks(c.low, c.high, c.wanted);
    EXPECT_DOUBLE_EQ(ticks.step, c.step);
    ASSERT_FALSE(ticks.values.empty());
    EXPECT_NEAR(ticks.values.front(), c.first, c.step * 1e-9);
    EXPECT_NEAR(ticks.values.back(), c.last, c.step * 1e-9);
    EXPECT_EQ(ticks.decimals, c.decimals);
    for (const double value : ticks.values) {
      EXPECT_FALSE(value == 0 && std::signbit(value));
    }
    for (std::size_t i = 1; i < ticks.values.size(); ++i) {
      EXPECT_NEAR(ticks.values[i] - ticks.values[i - 1], ticks.step, ticks.step * 1e-9);
    }
  }
}

TEST(RoundTicks, ExtremeRangesStayDrawable) {
  const double max = std::numeric_limits<double>::max();
  for (const auto& [low, high] :
       {std::pair{-max, max}, std::pair{1e300, 1e300}, std::pair{0.0, 1e-12}}) {
    SCOPED_TRACE(testing::Message() << low << " to " << high);
    const AxisTicks ticks = RoundTicks(low, high, 8);
    EXPECT_TRUE(std::isfinite(ticks.step));
    EXPECT_GT(ticks.step, 0);
    EXPECT_GE(ticks.values.size(), 2u);
    EXPECT_LE(ticks.values.size(), 1001u);
  }
}

}  // namespace
}  // namespace quarrow
