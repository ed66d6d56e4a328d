#pragma once

// What the window shows of the selected run once it is adjusted: its report
// as quarrow-adjust writes it (between the published marks, or between the
// network's adjusted marks as quarrow-network --reports writes it), and the
// picture --profile draws, both from one report pass in memory.

#include <string>

#include "engine/platform.h"
#include "office/project_adjustment.h"
#include "plot/profile_drawing.h"

namespace quarrow {

struct RunDetails {
  bool made = false;
  std::string problem;  // when not made: why
  std::string report;   // the report's bytes, CR LF, at most kShownReportBytes
  bool report_cut = false;
  std::string summary_box;  // the report's framed summary
  ProfileData profile;
};

// A report longer than this is cut in the window; its export is whole.
inline constexpr std::size_t kShownReportBytes = 8 << 20;

// Runs both passes of `run` between the elevations of `outcome`, with the
// project's choices (distribution only when adjusted run by run, as the
// network's own run reports spread by distance).
RunDetails MakeRunDetails(Platform& disk, const Project& project, AdjustMode mode,
                          const ProjectRun& run, const RunOutcome& outcome);

}  // namespace quarrow
