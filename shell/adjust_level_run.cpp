#include "shell/adjust_level_run.h"

#include <memory>

#include "engine/closure_pass.h"
#include "engine/error_box.h"
#include "engine/messages.h"
#include "engine/report_pass.h"

namespace quarrow {

namespace m = messages;

AdjustOutcome AdjustLevelRun(RunState& rs, Platform& platform, AdjustQuestions& questions,
                             RunListener* listener, FieldFileChecker* checker) {
  const ClosureResult closure = RunClosurePass(rs, platform, checker);
  // The warnings are told even when the run cannot be computed: they may
  // say why (an empty distance leaves a run of no length).
  const bool despite_warnings = checker == nullptr || checker->warning_count() == 0 ||
                                questions.WriteDespiteWarnings(rs.InputPath, *checker);
  if (closure.status != ClosureStatus::kComputed) return AdjustOutcome::kFailed;
  if (!despite_warnings) return AdjustOutcome::kCancelled;
  if (!closure.verdict.Meets() &&
      !questions.WriteDespiteFailures(closure.failures_title, closure.failures)) {
    return AdjustOutcome::kCancelled;
  }

  std::string error;
  std::unique_ptr<ReportSink> report = platform.CreateReport(rs.ReportPath, error);
  if (!report) {
    ShowError(platform, {m::kUnableToWriteReport, rs.ReportPath, error});
    return AdjustOutcome::kFailed;
  }
  const ReportStatus written = RunReportPass(rs, platform, closure, *report, listener);
  if (written == ReportStatus::kFieldFileChanged) return AdjustOutcome::kFailed;
  // Outputs beside the report are complete before any file moves into place;
  // a failed one has told the user why, and the report is dropped with it.
  if (listener != nullptr && !listener->Finish()) return AdjustOutcome::kFailed;
  if (written == ReportStatus::kWriteFailed) {
    ShowError(platform, {m::kUnableToWriteReport, rs.ReportPath, rs.OutFile.ErrorText()});
    return AdjustOutcome::kFailed;
  }
  if (!report->Commit()) {
    ShowError(platform, {m::kUnableToWriteReport, rs.ReportPath, report->ErrorText()});
    return AdjustOutcome::kFailed;
  }

  rs.ShellResult = questions.OpensReport() && platform.LaunchViewer(rs.ReportPath) ? 1 : 0;
  return closure.verdict.Meets() ? AdjustOutcome::kMeetsSpecifications
                                 : AdjustOutcome::kFailsSpecifications;
}

}  // namespace quarrow
