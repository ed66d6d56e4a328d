#include "engine/closure_pass.h"

#include <algorithm>
#include <cmath>

#include "engine/error_box.h"
#include "engine/field_file.h"
#include "engine/field_file_check.h"
#include "engine/messages.h"
#include "engine/reduction.h"
#include "engine/report_format.h"

namespace quarrow {

namespace m = messages;

namespace {

// Walks every setup of the open field file, whose first observation line is
// in LineBuffer. Returns the number of turns over MaxDiff.
std::int64_t WalkSetups(RunState& rs, FieldFileChecker* checker) {
  std::int64_t bad_turns = 0;
  rs.SetupId = NextField(rs);
  for (;;) {
    rs.BsElev = rs.Elev;
    if (checker != nullptr) checker->Backsight(rs);
    ReadBacksight(rs);

    SkipToObservation(rs);
    rs.NextSetupId = NextField(rs);  // Deliberate: the first foresight is never compared
    if (checker != nullptr) checker->Foresight(rs);
    ReadForesight(rs);

    bool backsight_waiting = false;
    while (!AtEndOfObservations(rs)) {
      SkipToObservation(rs);
      rs.NextSetupId = NextField(rs);
      if (rs.NextSetupId != rs.SetupId) {
        rs.SetupId = rs.NextSetupId;  // this line is the next setup's backsight
        backsight_waiting = true;
        break;
      }
      rs.ShotPattern += '1';  // the foresight before this one was a side shot
      if (checker != nullptr) checker->Foresight(rs);
      ReadForesight(rs);
    }
    rs.ShotPattern += '0';
    ++rs.SetupCount;

    if (ExceedsBalance(rs.BsHd, rs.FsHd, rs.MaxDiff)) ++bad_turns;
    // Side shots are no sights of the line: only its two ends count.
    rs.MaxSight = std::max({rs.MaxSight, rs.BsHd, rs.FsHd});
    rs.MaxSetupImbalance = std::max(rs.MaxSetupImbalance, std::fabs(rs.BsHd - rs.FsHd));
    rs.SumBsHd += rs.BsHd;
    rs.SumFsHd += rs.FsHd;

    // A backsight with no observation after it ends the run unreduced.
    if (AtEndOfObservations(rs)) {
      if (checker != nullptr) {
        if (backsight_waiting) checker->UnreadBacksight(rs);
        checker->Finish();
      }
      return bad_turns;
    }
  }
}

void AppendLine(std::string& text, std::string_view line) {
  if (!text.empty()) text += m::kLineBreak;
  text += line;
}

}  // namespace

ClosureResult RunClosurePass(RunState& rs, Platform& platform, FieldFileChecker* checker) {
  ClosureResult result;
  const Units units = UnitsOfMark(rs.UnitMark);
  rs.MaxDiff = static_cast<std::int16_t>(MaxBalanceDifference(units));
  rs.ShotPattern.clear();
  rs.Elev = rs.BeginElev;
  rs.FirstMark.clear();
  rs.SumBsHd = 0;
  rs.SumFsHd = 0;
  rs.SetupCount = 0;
  rs.MaxSight = 0;
  rs.MaxSetupImbalance = 0;

  OpenFieldFile(rs, platform);
  if (rs.FileState != kFileUsable) {
    // The file passed its check moments ago, so it was removed or changed.
    rs.InFile.Close();
    ShowError(platform, {rs.FileState == kFileUnavailable ? m::kUnableToOpen : m::kFieldFileChanged,
                         rs.InputPath, m::kNoReportWritten});
    return result;
  }
  const std::int64_t bad_turns = WalkSetups(rs, checker);
  rs.InFile.DrainToEnd();
  const bool read_failed = rs.InFile.ReadFailed();
  result.fingerprint = {rs.InFile.BytesRead(), rs.InFile.Checksum()};
  rs.InFile.Close();
  if (read_failed) {
    ShowError(platform, {m::kFieldFileChanged, rs.InputPath, m::kNoReportWritten});
    return result;
  }

  rs.TurnErrors = bad_turns;
  rs.LastMark = rs.FsName;
  rs.Misclosure = rs.EndElev - rs.Elev;  // published minus computed: the correction at the end
  rs.RunLength = rs.SumFsHd + rs.SumBsHd;

  // Without a positive, finite length there is nothing to spread the
  // misclosure over (and the allowed error would be the root of a negative).
  if (!std::isfinite(rs.RunLength) || !std::isfinite(rs.Misclosure)) {
    ShowError(platform, {m::kRunNotComputable, m::kNoReportWritten});
    return result;
  }
  if (rs.RunLength <= 0) {
    const std::string length = std::string(m::kRunLengthIs) +
                               FormatFixed3(rs.RunLength, platform.DecimalSeparator()) +
                               rs.UnitMark + ".";
    ShowError(platform, {length, m::kRunLengthNotPositive, m::kNoReportWritten});
    return result;
  }
  rs.CorrPerUnit = rs.Misclosure / rs.RunLength;
  rs.AllowedError = AllowedMisclosure(rs.RunLength, units);

  ThirdOrderVerdict& verdict = result.verdict;
  verdict.bad_turns = bad_turns;
  verdict.run_unbalanced = ExceedsBalance(rs.SumBsHd, rs.SumFsHd, rs.MaxDiff);
  verdict.misclosure_exceeds = ExceedsMisclosure(rs.Misclosure, rs.AllowedError);

  rs.MessageText.clear();
  if (bad_turns == 1) {
    rs.MessageText = m::kOneTurnExceeds;
  } else if (bad_turns > 1) {
    rs.MessageText = std::to_string(bad_turns) + std::string(m::kTurnsExceed);
  }
  if (verdict.run_unbalanced) AppendLine(rs.MessageText, m::kRunExceeds);
  if (verdict.misclosure_exceeds) AppendLine(rs.MessageText, m::kMisclosureExceeds);

  const std::int64_t tally = verdict.FailedTests();
  if (tally > 0) {
    result.failures_title = tally == 1 ? std::string(m::kOneErrorTitle)
                                       : std::string(m::kErrorsTitleStart) + std::to_string(tally) +
                                             std::string(m::kErrorsTitleEnd);
    result.failures = rs.MessageText;
  }
  result.status = ClosureStatus::kComputed;
  return result;
}

}  // namespace quarrow
