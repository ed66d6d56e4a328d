#include "engine/fgcs_orders.h"

#include <cmath>

namespace quarrow {

namespace {

struct OrderLimits {
  std::string_view order;
  double closure_mm;    // times the root of the length in kilometres
  double setup_metres;  // |BS - FS| at one setup
  double total_metres;  // |sum BS - sum FS|
  double sight_metres;  // longest sight
};

constexpr OrderLimits kOrders[] = {
    {"first-i", 3, 2, 4, 50},     {"first-ii", 4, 5, 10, 60}, {"second-i", 6, 5, 10, 60},
    {"second-ii", 8, 10, 10, 70}, {"third", 0, 0, 0, 90},
};

}  // namespace

std::vector<OrderCheck> CheckOrders(const RunMeasures& run) {
  // Metres to the run's units.
  const double unit = 1 / MetresPerUnit(run.units);
  const double length_km = run.run_length * MetresPerUnit(run.units) / 1000;
  std::vector<OrderCheck> checks;
  for (const OrderLimits& limits : kOrders) {
    OrderCheck check;
    check.order = limits.order;
    check.max_sight = limits.sight_metres * unit;
    if (limits.order == "third") {
      // The report's verdict itself, not a second reckoning of it.
      check.allowed_misclosure = AllowedMisclosure(run.run_length, run.units);
      check.max_setup_imbalance = MaxBalanceDifference(run.units);
      check.max_total_imbalance = MaxBalanceDifference(run.units);
      check.meets_setup_balance = run.third_order.bad_turns == 0;
      check.meets_total_balance = !run.third_order.run_unbalanced;
      check.meets_misclosure = !run.third_order.misclosure_exceeds;
    } else {
      check.allowed_misclosure = limits.closure_mm / 1000 * std::sqrt(length_km) * unit;
      check.max_setup_imbalance = limits.setup_metres * unit;
      check.max_total_imbalance = limits.total_metres * unit;
      check.meets_setup_balance = run.max_setup_imbalance <= check.max_setup_imbalance;
      check.meets_total_balance = run.total_imbalance <= check.max_total_imbalance;
      check.meets_misclosure = std::fabs(run.misclosure) <= check.allowed_misclosure;
    }
    check.meets_sight = run.max_sight <= check.max_sight;
    check.meets = check.meets_misclosure && check.meets_setup_balance &&
                  check.meets_total_balance && check.meets_sight;
    checks.push_back(check);
  }
  return checks;
}

std::optional<std::string_view> HighestOrderMet(const std::vector<OrderCheck>& checks) {
  for (const OrderCheck& check : checks) {
    if (check.meets) return check.order;
  }
  return std::nullopt;
}

}  // namespace quarrow
