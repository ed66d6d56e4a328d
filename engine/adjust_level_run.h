#pragma once

// The Adjust command's computation: the closure pass, then the report pass.

#include "engine/platform.h"
#include "engine/run_listener.h"
#include "engine/run_state.h"

namespace quarrow {

enum class AdjustOutcome {
  kMeetsSpecifications,  // report written; the run meets third order
  kFailsSpecifications,  // report written after the user accepted failed tests
  kCancelled,            // the user cancelled at the failed tests; nothing written
  kFailed,               // a problem was shown to the user; nothing written
};

// Adjusts the run described by RunState. Preconditions, set by the caller:
// InputPath, ReportPath, BeginElev, EndElev, UnitsLabel, UnitMark, the
// framing texts, and DegreeMark from a successful CheckInputFile; and a
// ReportPath that is not the field file itself (the steps before an
// adjustment refuse that), since the report replaces its file at the end.
// A listener, when given, is told the adjusted run point by point (see
// RunReportPass).
AdjustOutcome AdjustLevelRun(RunState& rs, Platform& platform, RunListener* listener = nullptr);

}  // namespace quarrow
