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

enum class ReportStatus { kWritten, kFailed };

// Writes the report to ReportPath from the field file the closure pass read,
// then opens it in the viewer. A report that cannot be written, or a field
// file that is no longer the one the closure pass read, is shown to the user
// and leaves any existing report as it was.
// A listener, when given, is told every point as it is written and finishes
// its own output before the report is moved into place.
ReportStatus RunReportPass(RunState& rs, Platform& platform, const ClosureResult& closure,
                           RunListener* listener = nullptr);

}  // namespace quarrow
