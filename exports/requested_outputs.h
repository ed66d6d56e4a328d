#pragma once

// The outputs a user asks for beside a run's report (the CSV and JSON
// exports, the profile picture), made the same way by every front end, so
// that each file is byte for byte the same whichever program wrote it.

#include <string>
#include <vector>

#include "engine/platform.h"
#include "engine/run_state.h"
#include "exports/run_export.h"

namespace quarrow {

// A picture of the run into `path`, dated `date`: the profile drawing's
// entry (plot/profile_module.h).
using MakeRunPicture = RunOutput* (*)(const RunState& rs, const std::string& path, CivilDate date);

struct RequestedOutputs {
  std::vector<std::string> csv;   // the points
  std::vector<std::string> json;  // the whole adjustment
  std::string profile;            // "" for none
};

// Adds to `outputs` the picture (drawn by `make_picture`) and the exports of
// `requested`, each writing into its temporary file. False, with the
// problem shown, when one cannot be created; nothing is then written.
bool AddRequestedOutputs(Platform& platform, const RunState& rs, const RequestedOutputs& requested,
                         MakeRunPicture make_picture, RunOutputs& outputs);

}  // namespace quarrow
