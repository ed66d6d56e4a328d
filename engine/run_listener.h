#pragma once

// The adjusted run as data, for outputs beside the report (exports, the
// profile picture). The report pass tells a listener every point it writes,
// in the report's order, with full names and unrounded numbers.

#include <cstdint>
#include <string_view>

#include "engine/third_order.h"

namespace quarrow {

enum class PointRole {
  kBegin,  // the beginning bench mark: the first mark line
  kTurn,   // a turning point: the mark lines between
  kEnd,    // the ending bench mark: the last mark line
  kSide,   // a side shot
};

// One mark line or side-shot line of the report. The views are valid only
// during the call.
struct RunPoint {
  std::string_view name;   // as read from the field file, not cut to a column
  std::string_view setup;  // the setup whose foresight this is; the first setup for kBegin
  PointRole role = PointRole::kTurn;
  double distance = 0;            // run distance the correction was taken at
  double raw_elevation = 0;       // ELEV-RAW
  double correction = 0;          // ADJUST
  double adjusted_elevation = 0;  // ELEV-ADJ
};

// One setup's sight lengths (horizontal distances to its backsight and its
// turning point), told after the setup's turning point.
struct SetupSights {
  std::string_view setup;
  double backsight_distance = 0;
  double foresight_distance = 0;
};

class RunListener {
 public:
  virtual ~RunListener() = default;
  // The closure pass is done and the report begun: RunState holds the run's
  // totals (RunLength, Misclosure, AllowedError, MaxDiff, SumBsHd, SumFsHd)
  // and `verdict` the closure pass's third-order tests.
  virtual void Begin(const ThirdOrderVerdict& verdict) = 0;
  virtual void Point(const RunPoint& point) = 0;
  virtual void Setup(const SetupSights& setup) = 0;
  // The report is written but not yet moved into place. A listener finishes
  // its own output here; false stops the adjustment (the listener has told
  // the user why) and the report is not moved into place.
  virtual bool Finish() = 0;
};

}  // namespace quarrow
