#pragma once

// The profile drawing as a module the headless tool loads only when a
// picture is asked for: Qt Gui, its fonts and image formats then cost
// nothing to every other run of the tool. The module's two entry points,
// looked up by these names: kMakeDrawingApplication
// (plot/drawing_application.h) and:

#include <QCoreApplication>

#include "engine/platform.h"
#include "engine/run_state.h"
#include "exports/requested_outputs.h"
#include "exports/run_export.h"
#include "plot/drawing_application.h"

namespace quarrow {

// A ProfilePicture of `rs` into `path`, dated `date`.
using MakeProfilePicture = MakeRunPicture;
inline constexpr const char* kMakeProfilePicture = "quarrow_make_profile_picture";

// The module's file name, in the folder "modules" beside the program.
inline constexpr const char* kProfileModuleName = "modules/quarrow-profile";

}  // namespace quarrow
