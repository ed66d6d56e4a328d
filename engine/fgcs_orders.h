#pragma once

// The FGCS (1984) orders and classes of vertical control a run can meet:
// its misclosure against C mm x sqrt(K) (K the run length in kilometres), the
// imbalance of backsight and foresight distances at each setup and over the
// whole run, and the longest sight. Limits are in metres; a run in feet is
// compared through the international foot (0.3048 m), except third order,
// which is exactly the report's own tests in the run's own units, so that
// the two never disagree about closure and balance.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "engine/third_order.h"
#include "engine/units.h"

namespace quarrow {

// What the run measured, in its own units.
struct RunMeasures {
  Units units = Units::kMetric;
  double run_length = 0;
  double misclosure = 0;
  ThirdOrderVerdict third_order;   // the report's own tests
  double max_setup_imbalance = 0;  // largest |BS - FS| of one setup
  double total_imbalance = 0;      // |sum BS - sum FS|
  double max_sight = 0;            // longest backsight or foresight horizontal distance
};

struct OrderCheck {
  std::string_view order;  // "first-i" ... "third"
  // Limits in the run's units.
  double allowed_misclosure = 0;
  double max_setup_imbalance = 0;
  double max_total_imbalance = 0;
  double max_sight = 0;
  bool meets_misclosure = false;
  bool meets_setup_balance = false;
  bool meets_total_balance = false;
  // Advisory: the report and the exit status never depend on it.
  bool meets_sight = false;
  bool meets = false;  // all four
};

// Every order and class, from first-i to third. A value equal to its limit
// meets it.
std::vector<OrderCheck> CheckOrders(const RunMeasures& run);

// The highest order whose every limit the run meets, or none.
std::optional<std::string_view> HighestOrderMet(const std::vector<OrderCheck>& checks);

}  // namespace quarrow
