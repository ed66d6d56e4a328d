#pragma once

// The second pass: the adjustment report. The misclosure is spread in
// proportion to the horizontal distance travelled from the beginning bench
// mark (ADJUST = RunDistance x CorrPerUnit), so the ending bench mark comes
// out at its published elevation.

#include <cstdint>

#include "engine/closure_pass.h"
#include "engine/platform.h"
#include "engine/run_state.h"

namespace quarrow {

// Everything a report line needs beyond RunState: the locale's separators.
struct ReportContext {
  std::string decimal_separator = ".";
};

// Ends the open line (or writes an empty one), then the mark line for FsName
// at Elev with its adjustment.
void PrintMarkLine(RunState& rs, const ReportContext& context);
// Takes the turning point's "0" off ShotPattern, writes an empty line and the
// full setup line: backsight and turning-point readings.
void PrintTurnLine(RunState& rs, const ReportContext& context);
// Writes an empty line and the backsight-only setup line, then reads and
// writes each side shot while ShotPattern shows one.
void PrintSideShots(RunState& rs, const ReportContext& context);
// Writes the side-shot line for FsName, with no empty line before it.
void PrintStubLine(RunState& rs, const ReportContext& context);

enum class ReportStatus { kWritten, kFailed };

// Writes the report to ReportPath from the field file the closure pass read,
// then opens it in the viewer. A report that cannot be written, or a field
// file that is no longer the one the closure pass read, is shown to the user
// and leaves any existing report as it was.
ReportStatus RunReportPass(RunState& rs, Platform& platform, const ClosureResult& closure);

}  // namespace quarrow
