#pragma once

// The first of the two passes over the field file: it walks the run with raw
// elevations, learns how the foresights group into setups (ShotPattern),
// and works out the misclosure, the run length, the correction per unit of
// distance and the third-order tests.

#include <cstdint>
#include <string>

#include "engine/platform.h"
#include "engine/run_state.h"
#include "engine/third_order.h"

namespace quarrow {

class FieldFileChecker;

// What the second pass checks to be sure it reads the same file.
struct FieldFileFingerprint {
  std::uint64_t bytes = 0;
  std::uint64_t checksum = 0;
};

enum class ClosureStatus {
  kComputed,  // the run is reduced and its tests made: the report may follow
  kFailed,    // a problem was shown to the user; nothing is to be written
};

struct ClosureResult {
  ClosureStatus status = ClosureStatus::kFailed;
  // The third-order tests. Its FailedTests() is the error tally: bad turns,
  // then the total imbalance and the misclosure.
  ThirdOrderVerdict verdict;
  // When a test failed, what the user is told before a report is written:
  // "Quarrow Encountered One Error" or "... N Errors", and the failed tests
  // one a line (also left in MessageText). Empty when the run meets.
  std::string failures_title;
  std::string failures;
  FieldFileFingerprint fingerprint;
};

// Runs the closure pass over InputPath with the DegreeMark of the last check.
// A setup is a group of consecutive observation lines with one setup
// identifier; its first line is the backsight, its last the turning point,
// any between are side shots. The line right after a backsight is always its
// foresight, whatever identifier it carries.
// It asks nothing: a run that fails its tests is computed all the same, and
// whoever runs the pass decides what the failures mean. Only a field file
// that can no longer be read, or a run that cannot be computed (a length of
// zero or less, a value too large), is shown through the platform.
// Reads: InputPath, DegreeMark, BeginElev, EndElev, UnitMark.
// Writes: MaxDiff, ShotPattern, SetupCount, MaxSight, MaxSetupImbalance,
// LastMark, Elev, FirstMark, SumBsHd, SumFsHd, SetupId,
// NextSetupId, TurnErrors, Misclosure, RunLength, CorrPerUnit, AllowedError,
// MessageText, LineBuffer and the reduction fields.
// A checker, when given, is told every observation line as the pass groups
// it (engine/field_file_check.h).
ClosureResult RunClosurePass(RunState& rs, Platform& platform, FieldFileChecker* checker = nullptr);

}  // namespace quarrow
