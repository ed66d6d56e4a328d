#pragma once

// The steps every front end takes before an adjustment: the window's Adjust
// button and quarrow-adjust go the same road, in the same order, so that a
// bad field file or a declined overwrite never touches the elevations and
// units of the adjustment before.

#include <optional>
#include <string>

#include "engine/platform.h"
#include "engine/run_state.h"
#include "engine/units.h"
#include "shell/questions.h"

namespace quarrow {

// The choices beyond the window's form, which the headless tools offer; the
// defaults reduce and report every run as the window does.
struct RunChoices {
  std::optional<double> refraction_k;  // correct for curvature and refraction with this k
  bool distribute_by_setups = false;   // an equal share of the misclosure per setup
};

// Stores what an adjustment needs beyond the paths: both elevations and the
// units, and then the choices. The one place that fills those fields, for
// the window, the tools and every run of a network.
// Writes: BeginElev, EndElev, UnitsLabel, UnitMark.
void StoreAdjustmentInputs(RunState& rs, double begin_elevation, double end_elevation, Units units);
// Writes: CurvatureApplied, RefractionK, DistributeBySetups.
void StoreRunChoices(RunState& rs, const RunChoices& choices);

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

// Asks `questions` before the existing file `path` is replaced; `question`
// keeps the text asked. True when there is no such file or it may go.
bool MayReplaceFile(Platform& platform, AdjustQuestions& questions, const std::string& path,
                    std::string& question);

// In order: checks the field file (its own messages); refuses an empty report
// name and a report that would replace the field file itself, each in a
// "Quarrow Error" box; asks `questions` before replacing an existing report;
// reads both elevations with the
// locale's number conversion; stores them and the units. Elevations that are
// not numbers are left for the caller to report in its own words.
// Writes: InputPath, ReportPath, FileState, DegreeMark, MessageText (the
// question); when a report is proposed also LastFolder; when ready also
// what StoreAdjustmentInputs writes.
Preparation PrepareAdjustment(RunState& rs, Platform& platform, AdjustQuestions& questions,
                              const AdjustRequest& request);

}  // namespace quarrow
