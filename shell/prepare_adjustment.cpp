#include "shell/prepare_adjustment.h"

#include "engine/error_box.h"
#include "engine/messages.h"
#include "shell/check_input_file.h"

namespace quarrow {

namespace m = messages;

namespace {

// The report pass writes the report while it reads the field file again,
// and moves the report into place at the end: a report named like the field
// file (or a link to it) would destroy the field data.
bool ReportWouldReplaceFieldFile(const RunState& rs, Platform& platform) {
  return rs.ReportPath == rs.InputPath || platform.IsSameFile(rs.ReportPath, rs.InputPath);
}

}  // namespace

bool MayReplaceFile(Platform& platform, AdjustQuestions& questions, const std::string& path,
                    std::string& question) {
  if (!platform.FileExists(path)) return true;
  question = path + std::string(m::kOverwriteExists) + std::string(m::kLineBreak) +
             std::string(m::kOverwriteQuestion);
  return questions.MayReplace(path, question);
}

Preparation PrepareAdjustment(RunState& rs, Platform& platform, AdjustQuestions& questions,
                              const AdjustRequest& request) {
  rs.InputPath = request.field_file;
  if (request.report_file) rs.ReportPath = *request.report_file;
  const CheckMode mode = request.report_file ? CheckMode::kCheckOnly : CheckMode::kCheckAndDerive;
  if (CheckInputFile(rs, platform, mode) != kFileUsable) return Preparation::kStopped;
  if (rs.ReportPath.empty()) {
    ShowError(platform, {m::kNoReportFile, m::kNameReportFile});
    return Preparation::kStopped;
  }
  if (ReportWouldReplaceFieldFile(rs, platform)) {
    ShowError(platform, {m::kReportIsFieldFile, rs.ReportPath, m::kChooseAnotherReport});
    return Preparation::kStopped;
  }
  if (!MayReplaceFile(platform, questions, rs.ReportPath, rs.MessageText)) {
    return Preparation::kStopped;
  }

  // Both numbers are read before either is stored, so a refused one leaves
  // the elevations of the previous adjustment in place.
  double begin_elev = 0;
  double end_elev = 0;
  if (!platform.ReadLocaleNumber(request.begin_elevation, begin_elev)) {
    return Preparation::kBeginNotNumber;
  }
  if (!platform.ReadLocaleNumber(request.end_elevation, end_elev)) {
    return Preparation::kEndNotNumber;
  }
  StoreAdjustmentInputs(rs, begin_elev, end_elev, request.units);
  return Preparation::kReady;
}

void StoreAdjustmentInputs(RunState& rs, double begin_elevation, double end_elevation,
                           Units units) {
  rs.BeginElev = begin_elevation;
  rs.EndElev = end_elevation;
  StoreUnits(rs, units);
}

void StoreRunChoices(RunState& rs, const RunChoices& choices) {
  rs.CurvatureApplied = choices.refraction_k.has_value();
  rs.RefractionK = choices.refraction_k.value_or(0);
  rs.DistributeBySetups = choices.distribute_by_setups;
}

}  // namespace quarrow
