#pragma once

// The third-order tests of levelling, in one place: the closure pass, the
// report's summary, the exports, the profile and a network's runs and loops
// all ask these, so no two outputs can disagree about a run.

#include <cmath>
#include <cstdint>

#include "engine/units.h"

namespace quarrow {

// The allowed closing error over `length` (in `units`): 0.05 ft times the
// root of the length in units of 5200 ft (not the 5280 ft statute mile), or
// 12 mm times the root of the length in kilometres. The root of a negative
// length is not a number; callers refuse such a run first.
double AllowedMisclosure(double length, Units units);

// The largest allowed difference between backsight and foresight distances,
// at one setup and over the whole run: 33 ft or 10 m.
int MaxBalanceDifference(Units units);

// Over the limit means strictly greater: a value equal to its limit passes.
inline bool ExceedsBalance(double backsight, double foresight, double limit) {
  return std::fabs(backsight - foresight) > limit;
}
inline bool ExceedsMisclosure(double misclosure, double allowed) {
  return std::fabs(misclosure) > allowed;
}

// What the closure pass found, read by every output that tells the verdict.
struct ThirdOrderVerdict {
  std::int64_t bad_turns = 0;       // setups whose BS - FS is over the limit
  bool run_unbalanced = false;      // the sums of BS and FS differ by more than the limit
  bool misclosure_exceeds = false;  // the misclosure is over the allowed error

  // Failed tests: each bad turn, the whole run's balance and the misclosure.
  std::int64_t FailedTests() const {
    return bad_turns + (run_unbalanced ? 1 : 0) + (misclosure_exceeds ? 1 : 0);
  }
  bool Meets() const { return FailedTests() == 0; }
};

}  // namespace quarrow
