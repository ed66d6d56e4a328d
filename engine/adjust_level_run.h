#pragma once

// The Adjust command's computation: the closure pass, then the report pass.

#include "platform.h"
#include "run_state.h"

namespace quarrow {

enum class AdjustOutcome {
  kMeetsSpecifications,  // report written; the run meets third order
  kFailsSpecifications,  // report written after the user accepted failed tests
  kCancelled,            // the user cancelled at the failed tests; nothing written
  kFailed,               // a problem was shown to the user; nothing written
};

// Shows a "Quarrow Error" box and returns true when ReportPath names the
// field file itself (the same path, or a link to it): writing that report
// would destroy the field data. Callers ask this before the overwrite question.
bool RefuseReportOverFieldFile(RunState& rs, Platform& platform);

// Adjusts the run described by RunState. Preconditions, set by the caller:
// InputPath, ReportPath, BeginElev, EndElev, UnitsLabel, UnitMark, the
// framing texts, and DegreeMark from a successful CheckInputFile. A report
// path that names the field file itself is refused before anything is read,
// so the field file is never written.
AdjustOutcome AdjustLevelRun(RunState& rs, Platform& platform);

}  // namespace quarrow
