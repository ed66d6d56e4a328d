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

bool MayReplaceFile(Platform& platform, const std::string& path, std::string& question) {
  if (!platform.FileExists(path)) return true;
  question = path + std::string(m::kOverwriteExists) + std::string(m::kLineBreak) +
             std::string(m::kOverwriteQuestion);
  const MessageAnswer answer = platform.ShowMessage(
      {std::string(m::kOverwriteTitle), question, MessageIcon::kQuestion, MessageButtons::kYesNo});
  return answer == MessageAnswer::kYes;
}

Preparation PrepareAdjustment(RunState& rs, Platform& platform, const AdjustRequest& request) {
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
  if (!MayReplaceFile(platform, rs.ReportPath, rs.MessageText)) return Preparation::kStopped;

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
  rs.BeginElev = begin_elev;
  rs.EndElev = end_elev;
  const bool feet = request.units == Units::kFeet;
  rs.UnitsLabel = feet ? m::kEnglishUnits : m::kMetricUnits;
  rs.UnitMark = feet ? '\'' : 'm';
  return Preparation::kReady;
}

}  // namespace quarrow
