#pragma once

// The first of the two passes over the field file: it walks the run with raw
// elevations, learns how the foresights group into setups (ShotPattern),
// and works out the misclosure, the run length, the correction per unit of
// distance and the third-order tests.

#include <cstdint>
#include <string>

#include "engine/platform.h"
#include "engine/run_state.h"

namespace quarrow {

// What the second pass checks to be sure it reads the same file.
struct FieldFileFingerprint {
  std::uint64_t bytes = 0;
  std::uint64_t checksum = 0;
};

enum class ClosureStatus {
  kProceed,    // write the report
  kCancelled,  // the user cancelled at the failed-tests message
  kFailed,     // a problem was shown to the user; nothing is to be written
};

struct ClosureResult {
  ClosureStatus status = ClosureStatus::kFailed;
  // Failed third-order tests: bad turns, then the total imbalance and the
  // misclosure. Zero means the run meets third-order specifications.
  std::int64_t error_tally = 0;
  FieldFileFingerprint fingerprint;
};

// Runs the closure pass over InputPath with the DegreeMark of the last check.
// A setup is a group of consecutive observation lines with one setup
// identifier; its first line is the backsight, its last the turning point,
// any between are side shots. The line right after a backsight is always its
// foresight, whatever identifier it carries.
// Reads: InputPath, DegreeMark, BeginElev, EndElev, UnitMark.
// Writes: MaxDiff, ShotPattern, SetupCount, MaxSight, MaxSetupImbalance,
// LastMark, Elev, FirstMark, SumBsHd, SumFsHd, SetupId,
// NextSetupId, TurnErrors, Misclosure, RunLength, CorrPerUnit, AllowedError,
// MessageText, LineBuffer and the reduction fields.
ClosureResult RunClosurePass(RunState& rs, Platform& platform);

}  // namespace quarrow
