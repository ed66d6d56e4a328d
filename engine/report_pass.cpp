#include "engine/report_pass.h"

#include <cmath>
#include <string>

#include "engine/error_box.h"
#include "engine/field_file.h"
#include "engine/messages.h"
#include "engine/reduction.h"
#include "engine/report_format.h"
#include "engine/version.h"

namespace quarrow {

namespace m = messages;

namespace {

// Everything a report line needs beyond RunState: the locale's separators,
// and who else is told the points.
struct ReportContext {
  std::string decimal_separator = ".";
  RunListener* listener = nullptr;
};

// The correction at the point being written. In proportion to distance, it
// is the distance travelled times the correction per unit. By setups, each
// setup's foresight adds one share and its instrument stands half way; the
// ratio of half shares reaches exactly 1 at the ending mark, so the ending
// mark takes the whole misclosure.
double Adjustment(const RunState& rs) {
  if (!rs.DistributeBySetups) return rs.RunDistance * rs.CorrPerUnit;
  return rs.Misclosure *
         (static_cast<double>(rs.HalfShares) / (2 * static_cast<double>(rs.SetupCount)));
}

// Tells the listener, if any, about the point FsName at Elev.
void TellPoint(const ReportContext& context, const RunState& rs, PointRole role,
               std::string_view setup) {
  if (context.listener == nullptr) return;
  const double adjust = Adjustment(rs);
  context.listener->Point(
      {rs.FsName, setup, role, rs.RunDistance, rs.Elev, adjust, adjust + rs.Elev});
}

// Cuts or fills with blanks what `line` gained since `start` to `width`
// bytes, as PadText does.
void FitToWidth(std::string& line, std::size_t start, std::size_t width) {
  if (line.size() - start > width) {
    line.resize(start + width);
  } else {
    line.append(start + width - line.size(), ' ');
  }
}

void AppendPadded(std::string& line, std::string_view text, std::size_t width) {
  const std::size_t start = line.size();
  line += text;
  FitToWidth(line, start, width);
}

// " ELEV-RAW ADJUST ELEV-ADJ", the three columns that end mark and stub lines.
void AppendElevations(std::string& line, const RunState& rs, const ReportContext& context) {
  const double adjust = Adjustment(rs);
  line += ' ';
  AppendReading(line, rs.Elev, 10, context.decimal_separator);
  line += ' ';
  AppendReading(line, adjust, -8, context.decimal_separator);
  line += ' ';
  // From the unrounded sum, so it may differ by 0.001 from the printed parts.
  AppendReading(line, adjust + rs.Elev, 10, context.decimal_separator);
}

void AppendForesight(std::string& line, const RunState& rs, const ReportContext& context) {
  AppendReading(line, rs.FsHd, 9, context.decimal_separator);
  line += ' ';
  AppendReading(line, rs.FsVd, -9, context.decimal_separator);
  line += ' ';
  AppendReading(line, rs.FsSh, 9, context.decimal_separator);
}

void AppendBacksight(std::string& line, const RunState& rs, const ReportContext& context) {
  line += "  @";
  AppendPadded(line, rs.SetupId, 6);
  line += ' ';
  AppendReading(line, rs.BsHd, 9, context.decimal_separator);
  line += ' ';
  AppendReading(line, rs.BsVd, -9, context.decimal_separator);
  line += ' ';
  AppendReading(line, rs.BsSh, 9, context.decimal_separator);
  line += ' ';
  AppendReading(line, rs.Hi, 10, context.decimal_separator);
}

std::string TitleLine(const RunState& rs, const CivilDate& today, std::string_view date_separator) {
  std::string title = std::string(m::kReportTitleStart) + std::to_string(kVersionMajor) + "." +
                      std::to_string(kVersionMinor) + "." + std::to_string(kVersionRevision) +
                      ") " + rs.UnitsLabel;
  return PadText(title, 70) + FormatReportDate(today, date_separator);
}

void WriteSummary(RunState& rs, const ThirdOrderVerdict& verdict, const ReportContext& context) {
  const std::string unit(1, rs.UnitMark);
  const std::string limit = std::string(m::kOf) + std::to_string(rs.MaxDiff) + unit + ".";
  auto framed = [&rs](const std::string& text) {
    rs.OutFile.WriteLine(FrameSummaryLine(text, rs.FrameFill));
  };
  framed(std::string(verdict.Meets() ? m::kMeets : m::kDoesNotMeet));
  framed(std::string(m::kRunLengthLine) + FormatFixed3(rs.RunLength, context.decimal_separator) +
         unit + ".");
  framed(std::string(m::kAllowedErrorLine) +
         FormatFixed3(rs.AllowedError, context.decimal_separator) + unit + ".");
  framed(std::string(verdict.misclosure_exceeds ? m::kFlagged : m::kUnflagged) +
         std::string(m::kActualError) + FormatFixed3(rs.Misclosure, context.decimal_separator) +
         unit + ".");
  std::string turns;
  if (rs.TurnErrors == 0) {
    turns = m::kAllTurnsWithin;
  } else if (rs.TurnErrors == 1) {
    turns = m::kOneTurnExceedsLine;
  } else {
    turns =
        std::string(m::kFlagged) + std::to_string(rs.TurnErrors) + std::string(m::kTurnsExceedLine);
  }
  framed(turns + limit);
  framed(std::string(verdict.run_unbalanced ? m::kTotalExceeds : m::kTotalWithin) + limit);
  // The choices of the headless tool, said where the tests are: k always
  // with a point, since it is the tool's own input, not a locale's number.
  if (rs.CurvatureApplied) {
    framed(std::string(m::kCurvatureApplied) + FormatFixed3(rs.RefractionK, ".") + ".");
  }
  if (rs.DistributeBySetups) {
    framed(std::string(m::kDistributedOver) + std::to_string(rs.SetupCount) +
           std::string(rs.SetupCount == 1 ? m::kOneSetup : m::kSetups));
  }
}

bool NextShotIsSideShot(const RunState& rs) {
  return rs.ShotPatternUsed < rs.ShotPattern.size() && rs.ShotPattern[rs.ShotPatternUsed] == '1';
}

// Report lines are built in place at the end of the report's buffer.

// Ends the open line (or writes an empty one), then the mark line for FsName
// at Elev with its adjustment.
void PrintMarkLine(RunState& rs, const ReportContext& context) {
  rs.OutFile.EndLine();
  std::string& line = rs.OutFile.LineInPlace();
  AppendPadded(line, rs.FsName, 80);
  AppendElevations(line, rs, context);
  rs.OutFile.EndLine();
}

// Takes the turning point's "0" off ShotPattern, writes an empty line and the
// full setup line: backsight and turning-point readings.
void PrintTurnLine(RunState& rs, const ReportContext& context) {
  ++rs.ShotPatternUsed;
  rs.OutFile.EndLine();
  std::string& line = rs.OutFile.LineInPlace();
  AppendBacksight(line, rs, context);
  line += ' ';
  AppendForesight(line, rs, context);
  rs.OutFile.EndLine();
}

// Writes the side-shot line for FsName, with no empty line before it.
void PrintStubLine(RunState& rs, const ReportContext& context) {
  std::string& line = rs.OutFile.LineInPlace();
  const std::size_t start = line.size();
  line += m::kStubPrefix;
  line += rs.FsName;
  FitToWidth(line, start, 51);
  AppendForesight(line, rs, context);
  AppendElevations(line, rs, context);
  rs.OutFile.EndLine();
}

// Writes an empty line and the backsight-only setup line, then reads and
// writes each side shot while ShotPattern shows one.
void PrintSideShots(RunState& rs, const ReportContext& context) {
  rs.OutFile.EndLine();
  AppendBacksight(rs.OutFile.LineInPlace(), rs, context);
  rs.OutFile.EndLine();
  while (NextShotIsSideShot(rs)) {
    ++rs.ShotPatternUsed;
    SkipToObservation(rs);
    rs.MessageText = NextField(rs);  // the side shot's setup identifier, not used
    ReadForesight(rs);
    PrintStubLine(rs, context);
    TellPoint(context, rs, PointRole::kSide, rs.SetupId);
  }
}

}  // namespace

ReportStatus RunReportPass(RunState& rs, Platform& platform, const ClosureResult& closure,
                           ReportSink& report, RunListener* listener) {
  const ReportContext context{platform.DecimalSeparator(), listener};
  rs.OutFile.Open(report);

  rs.OutFile.WriteLine(TitleLine(rs, platform.Today(), platform.DateSeparator()));
  rs.OutFile.EndLine();
  rs.OutFile.WriteLine(m::kInputLabel);
  rs.OutFile.WriteIndentedLine(rs.InputPath);
  rs.OutFile.EndLine();
  rs.OutFile.WriteLine(m::kOutputLabel);
  rs.OutFile.WriteIndentedLine(rs.ReportPath);
  rs.OutFile.EndLine();
  rs.OutFile.WriteLine(m::kColumnHeader);
  rs.OutFile.Write(m::kColumnRule);  // left open: the first mark line ends it

  if (listener != nullptr) listener->Begin(closure.verdict);
  rs.RunDistance = 0;
  rs.HalfShares = 0;
  rs.ShotPatternUsed = 0;
  rs.FsName = rs.FirstMark;
  rs.Elev = rs.BeginElev;
  PrintMarkLine(rs, context);

  // The report follows ShotPattern rather than comparing setup identifiers
  // again, so it must read exactly the file the closure pass read: any
  // difference, even one past the last observation, abandons the report.
  OpenFieldFile(rs, platform);
  bool same_file = rs.FileState == kFileUsable;
  bool first_setup = true;
  while (same_file) {
    rs.BsElev = rs.Elev;
    rs.SetupId = NextField(rs);
    // The beginning mark is told once its setup is known.
    if (first_setup) TellPoint(context, rs, PointRole::kBegin, rs.SetupId);
    first_setup = false;
    ReadBacksight(rs);
    rs.RunDistance += rs.BsHd;
    ++rs.HalfShares;
    if (NextShotIsSideShot(rs)) PrintSideShots(rs, context);
    // Side shots use the distance at the instrument, not their own.
    same_file = SkipToObservation(rs);
    rs.MessageText = NextField(rs);
    ReadForesight(rs);
    rs.RunDistance += rs.FsHd;
    ++rs.HalfShares;
    PrintTurnLine(rs, context);
    PrintMarkLine(rs, context);
    const bool last_setup = rs.ShotPatternUsed >= rs.ShotPattern.size();
    if (listener != nullptr) {
      listener->Setup({rs.SetupId, rs.BsHd, rs.FsHd});
      TellPoint(context, rs, last_setup ? PointRole::kEnd : PointRole::kTurn, rs.SetupId);
    }
    if (last_setup) break;
    same_file = same_file && SkipToObservation(rs);
  }
  rs.InFile.DrainToEnd();
  same_file = same_file && !rs.InFile.ReadFailed() &&
              rs.InFile.BytesRead() == closure.fingerprint.bytes &&
              rs.InFile.Checksum() == closure.fingerprint.checksum;
  rs.InFile.Close();
  if (!same_file) {
    rs.OutFile.Abandon();
    ShowError(platform, {m::kFieldFileChanged, rs.InputPath, m::kNoReportWritten});
    return ReportStatus::kFieldFileChanged;
  }

  rs.OutFile.EndLine();
  rs.OutFile.WriteLine(rs.BorderLine);
  WriteSummary(rs, closure.verdict, context);
  rs.OutFile.WriteLine(rs.BorderLine);
  return rs.OutFile.Finish() ? ReportStatus::kWritten : ReportStatus::kWriteFailed;
}

}  // namespace quarrow
