#pragma once

// Deciding whether a named field file can be used, and proposing its report.

#include "engine/platform.h"
#include "engine/run_state.h"

namespace quarrow {

enum class CheckMode {
  kCheckAndDerive,  // on success also derive ReportPath and LastFolder
  kCheckOnly,
};

// Checks InputPath: it must exist, open, and hold an observation line with
// another after it, marked with the degree sign of the Windows code page
// (byte 176) or, failing that, of the DOS code page (byte 248). Each problem
// is shown in a "Quarrow Error" box with InputPath on its second line, also
// in check-only mode. On success in derive mode, LastFolder becomes the field
// file's folder and ReportPath the field file's base name plus ".adj" in that
// folder; the caller then shows both paths in its file-name boxes.
// Returns and sets FileState. Writes DegreeMark; leaves no file open.
FileStateValue CheckInputFile(RunState& rs, Platform& platform, CheckMode mode);

}  // namespace quarrow
