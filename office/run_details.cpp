#include "office/run_details.h"

#include "engine/closure_pass.h"
#include "engine/report_pass.h"
#include "office/office_platform.h"
#include "plot/profile_picture.h"
#include "shell/prepare_adjustment.h"

namespace quarrow {

namespace {

// The report kept in memory, up to a size a text view can show.
class ShownReport : public ReportSink {
 public:
  explicit ShownReport(std::string& text, bool& cut) : text_(text), cut_(cut) {}
  bool Write(std::string_view bytes) override {
    const std::size_t room = kShownReportBytes - std::min(kShownReportBytes, text_.size());
    if (bytes.size() > room) cut_ = true;
    text_.append(bytes.substr(0, room));
    return true;
  }
  bool Commit() override { return true; }
  std::string ErrorText() const override { return ""; }

 private:
  std::string& text_;
  bool& cut_;
};

}  // namespace

RunDetails MakeRunDetails(Platform& disk, const Project& project, AdjustMode mode,
                          const ProjectRun& run, const RunOutcome& outcome) {
  RunDetails details;
  if (!run.read || !outcome.adjusted) {
    details.problem = run.read ? outcome.note : run.problem;
    return details;
  }
  MemoryFiles memory;
  if (run.converted) memory[run.field_path] = run.converted;
  OfficePlatform platform(disk, &memory);
  Network in_units;
  in_units.units = project.options.units;
  NetworkRequest request;
  request.refraction = project.options.refraction_k;
  RunState rs;
  PrepareRunState(rs, run.record, in_units, request, outcome.begin_elevation,
                  outcome.end_elevation);
  if (mode == AdjustMode::kRuns) {
    StoreRunChoices(rs, {.refraction_k = project.options.refraction_k,
                         .distribute_by_setups = project.options.distribute_by_setups});
  }
  const ClosureResult closure = RunClosurePass(rs, platform);
  if (closure.status != ClosureStatus::kComputed) {
    details.problem = platform.MessageText();
    return details;
  }
  ProfilePicture profile(rs, "", platform.Today());
  ShownReport report(details.report, details.report_cut);
  if (RunReportPass(rs, platform, closure, report, &profile) != ReportStatus::kWritten) {
    details.problem = platform.MessageText();
    return details;
  }
  details.profile = profile.data();
  const std::size_t border = details.report.find("\r\n+---");
  if (border != std::string::npos) details.summary_box = details.report.substr(border + 2);
  details.made = true;
  return details;
}

}  // namespace quarrow
