#pragma once

// The second pass: the adjustment report. The misclosure is spread in
// proportion to the horizontal distance travelled from the beginning bench
// mark (ADJUST = RunDistance x CorrPerUnit), or with DistributeBySetups in
// equal shares per setup, so the ending bench mark comes out at its
// published elevation.

#include "engine/closure_pass.h"
#include "engine/platform.h"
#include "engine/run_listener.h"
#include "engine/run_state.h"

namespace quarrow {

enum class ReportStatus {
  kWritten,           // the whole report went into the sink
  kWriteFailed,       // the sink refused a write; its ErrorText says why (nothing shown)
  kFieldFileChanged,  // not the file the closure pass read: shown; the report is unfinished
};

// Writes the report of the run the closure pass computed into `report`,
// reading the field file again. It only writes: moving the report into
// place, and opening it, is for whoever gave the sink. A listener, when
// given, is told every point as it is written (Begin, then Point and Setup;
// Finish is the caller's, before the report is moved into place).
// Reads: the fields the closure pass left, InputPath, ReportPath.
// Writes: RunDistance, HalfShares, ShotPatternUsed, FsName, Elev, SetupId,
// OutFile and the reduction fields.
ReportStatus RunReportPass(RunState& rs, Platform& platform, const ClosureResult& closure,
                           ReportSink& report, RunListener* listener = nullptr);

}  // namespace quarrow
