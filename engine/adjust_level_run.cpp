#include "engine/adjust_level_run.h"

#include "engine/closure_pass.h"
#include "engine/report_pass.h"

namespace quarrow {

AdjustOutcome AdjustLevelRun(RunState& rs, Platform& platform, RunListener* listener) {
  const ClosureResult closure = RunClosurePass(rs, platform);
  switch (closure.status) {
    case ClosureStatus::kCancelled:
      return AdjustOutcome::kCancelled;
    case ClosureStatus::kFailed:
      return AdjustOutcome::kFailed;
    case ClosureStatus::kProceed:
      break;
  }
  if (RunReportPass(rs, platform, closure, listener) != ReportStatus::kWritten) {
    return AdjustOutcome::kFailed;
  }
  return closure.error_tally == 0 ? AdjustOutcome::kMeetsSpecifications
                                  : AdjustOutcome::kFailsSpecifications;
}

}  // namespace quarrow
