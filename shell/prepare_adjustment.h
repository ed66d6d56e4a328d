#pragma once

// The steps every front end takes before an adjustment: the window's Adjust
// button and quarrow-adjust go the same road, in the same order, so that a
// bad field file or a declined overwrite never touches the elevations and
// units of the adjustment before.

#include <optional>
#include <string>

#include "engine/platform.h"
#include "engine/run_state.h"

namespace quarrow {

enum class Units { kFeet, kMetric };

// What the user gave, as given: paths as the front end read them, the two
// elevations as typed.
struct AdjustRequest {
  std::string field_file;
  // The report file; none to propose one beside the field file (its base
  // name with ".adj").
  std::optional<std::string> report_file;
  std::string begin_elevation;
  std::string end_elevation;
  Units units = Units::kFeet;
};

enum class Preparation {
  kReady,           // RunState holds all that AdjustLevelRun needs
  kStopped,         // a problem was shown, or the user kept the existing report
  kBeginNotNumber,  // the beginning elevation is not a finite number; nothing stored
  kEndNotNumber,    // the same for the ending elevation
};

// Asks before the existing file `path` is replaced: "Output File Exists",
// Yes/No with the question icon; `question` keeps the text asked. True when
// there is no such file or the answer is Yes.
bool MayReplaceFile(Platform& platform, const std::string& path, std::string& question);

// In order: checks the field file (its own messages); refuses an empty report
// name and a report that would replace the field file itself, each in a
// "Quarrow Error" box; asks before replacing an existing report (Yes/No,
// question icon, "Output File Exists"); reads both elevations with the
// locale's number conversion; stores them and the units. Elevations that are
// not numbers are left for the caller to report in its own words.
// Writes: InputPath, ReportPath, FileState, DegreeMark, MessageText (the
// question); when a report is proposed also LastFolder; when ready also
// BeginElev, EndElev, UnitsLabel, UnitMark.
Preparation PrepareAdjustment(RunState& rs, Platform& platform, const AdjustRequest& request);

}  // namespace quarrow
