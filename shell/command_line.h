#pragma once

// The start of the program before its window opens: the drag-and-drop way
// of working hands a field file dropped on the program's icon over as the
// first command-line argument.

#include <string>
#include <string_view>

#include "engine/platform.h"
#include "engine/run_state.h"

namespace quarrow {

// `text` without the blanks at either end. Only blanks: tabs and other
// white space stay, as they are part of what was typed.
std::string TrimBlanks(std::string_view text);

// Prepares the run state at start-up: the summary box's framing texts, then
// the field file named by `argument` (the first command-line argument as the
// system split it, so a quoted name with blanks arrives whole), trimmed of
// blanks. A name is checked in derive mode, which shows its own message when
// the file cannot be used; nothing, or only blanks, leaves InputPath and
// ReportPath empty and shows nothing.
// Writes: BorderLine, FrameFill; with a name also InputPath and what
// CheckInputFile writes (FileState, DegreeMark, LastFolder, ReportPath).
void StartFromCommandLine(RunState& rs, Platform& platform, std::string_view argument);

}  // namespace quarrow
