#pragma once

// Loading the profile drawing module (see plot/profile_module.h) from the
// program's own folder.

#include <QCoreApplication>
#include <memory>
#include <string>

#include "plot/profile_module.h"

namespace quarrow {

struct ProfileDrawing {
  MakeDrawingApplication make_application = nullptr;
  MakeProfilePicture make_picture = nullptr;
};

// The module in the folder beside the program named `argv0`; false, with `error` saying
// why, when it is missing or not the module.
bool LoadProfileDrawing(const char* argv0, ProfileDrawing& drawing, std::string& error);

}  // namespace quarrow
