#include "adjust_level_run.h"

#include "closure_pass.h"
#include "error_box.h"
#include "messages.h"
#include "report_pass.h"

namespace quarrow {

namespace m = messages;

bool RefuseReportOverFieldFile(RunState& rs, Platform& platform) {
  if (rs.ReportPath != rs.InputPath && !platform.IsSameFile(rs.ReportPath, rs.InputPath)) {
    return false;
  }
  ShowError(platform, {m::kReportIsFieldFile, rs.ReportPath, m::kChooseAnotherReport});
  return true;
}

AdjustOutcome AdjustLevelRun(RunState& rs, Platform& platform) {
  if (RefuseReportOverFieldFile(rs, platform)) return AdjustOutcome::kFailed;
  const ClosureResult closure = RunClosurePass(rs, platform);
  switch (closure.status) {
    case ClosureStatus::kCancelled:
      return AdjustOutcome::kCancelled;
    case ClosureStatus::kFailed:
      return AdjustOutcome::kFailed;
    case ClosureStatus::kProceed:
      break;
  }
  if (RunReportPass(rs, platform, closure) != ReportStatus::kWritten) {
    return AdjustOutcome::kFailed;
  }
  return closure.error_tally == 0 ? AdjustOutcome::kMeetsSpecifications
                                  : AdjustOutcome::kFailsSpecifications;
}

}  // namespace quarrow
