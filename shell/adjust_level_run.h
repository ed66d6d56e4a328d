#pragma once

// The Adjust command: the engine's two passes, with the question between
// them and the report moved into place and opened after them. The window's
// Adjust button and quarrow-adjust both come here after PrepareAdjustment.

#include "engine/field_file_check.h"
#include "engine/platform.h"
#include "engine/run_listener.h"
#include "engine/run_state.h"
#include "shell/questions.h"

namespace quarrow {

enum class AdjustOutcome {
  kMeetsSpecifications,  // report written; the run meets third order
  kFailsSpecifications,  // report written after the user accepted failed tests
  kCancelled,            // the user cancelled at the failed tests; nothing written
  kFailed,               // a problem was shown to the user; nothing written
};

// Adjusts the run described by RunState: the closure pass; when a test
// failed, `questions` decides whether the report is written at all; the
// report pass into a new report; the listener's Finish; then the report
// replaces ReportPath and, if `questions` says so, opens in the viewer.
// Nothing reaches ReportPath unless all of that succeeded.
// Preconditions, set by the caller (PrepareAdjustment does): InputPath,
// ReportPath, BeginElev, EndElev, UnitsLabel, UnitMark, the framing texts,
// DegreeMark from a successful CheckInputFile, and a ReportPath that is not
// the field file itself.
// Writes: what both passes write, and ShellResult.
// With a checker, the closure pass tells it every line, and `questions`
// hears of its warnings, if any, before the tests (it may then stop the
// report as it may for failed tests: kCancelled).
AdjustOutcome AdjustLevelRun(RunState& rs, Platform& platform, AdjustQuestions& questions,
                             RunListener* listener = nullptr, FieldFileChecker* checker = nullptr);

}  // namespace quarrow
