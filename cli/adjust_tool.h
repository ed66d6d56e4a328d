#pragma once

// quarrow-adjust: the level run adjusted without a window, for batches and
// scripts. Same engine, same checks and texts as the window.

#include <QStringList>
#include <ostream>

#include "engine/platform.h"
#include "plot/profile_module.h"

namespace quarrow {

// Exit statuses of quarrow-adjust.
enum ToolStatus : int {
  kToolMeetsSpecifications = 0,  // report written; the run meets third order
  kToolFailsSpecifications = 1,  // third-order tests failed (report written unless --strict)
  kToolInputError = 2,           // usage or input error; nothing written
};

// Runs the tool on `arguments` (the program name first) through `platform`,
// whose message boxes are the tool's messages. Its own words (usage errors,
// the failed tests, the overwrite refusal) go to `errors`; --help and
// --version print to `output`. `make_picture` draws --profile; without it
// the option is refused.
int RunAdjustTool(const QStringList& arguments, Platform& platform, std::ostream& output,
                  std::ostream& errors, MakeProfilePicture make_picture = nullptr);

// The same on the console: messages on `errors`.
int RunAdjustTool(const QStringList& arguments, std::ostream& output, std::ostream& errors,
                  MakeProfilePicture make_picture = nullptr);

}  // namespace quarrow
