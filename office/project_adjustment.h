#pragma once

// Adjusting a project. When every run begins and ends on marks held fixed,
// nothing joins the runs but marks that cannot move: each run is adjusted
// on its own between its two marks, exactly as quarrow-adjust adjusts it.
// Otherwise the runs are a network, adjusted together as quarrow-network
// adjusts it. Either way the engine computes and the office only shows.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/fgcs_orders.h"
#include "engine/platform.h"
#include "network/network_adjustment.h"
#include "office/office_platform.h"
#include "office/project_file.h"
#include "office/run_reading.h"

namespace quarrow {

enum class AdjustMode { kRuns, kNetwork };
enum class RunVerdict { kMeets, kFails, kNotChecked, kNotRead };

// "meets", "fails", "not checked" or "not read".
std::string_view VerdictName(RunVerdict verdict);

struct OrderMet {
  std::string order;
  bool meets = false;
};

struct RunOutcome {
  RunVerdict verdict = RunVerdict::kNotChecked;
  // Adjusted between these elevations of its two marks (the published ones,
  // or the network's adjusted ones).
  bool adjusted = false;
  double begin_elevation = 0;
  double end_elevation = 0;
  double misclosure = 0;  // between those elevations
  double allowed = 0;
  double balance = 0;                  // the sum of backsight less the sum of foresight distances
  std::vector<OrderMet> orders;        // the reported orders, first-i first
  std::optional<double> standardized;  // the network's standardized residual
  bool flagged = false;                // beyond the blunder limit
  std::string note;                    // why it was not adjusted or not checked
};

struct MarkOutcome {
  std::string name;
  MarkStatus status = MarkStatus::kAdjusted;
  double elevation = 0;  // adjusted (fixed marks as published)
  double std_dev = 0;
  bool checked = true;  // false: its elevation rests on runs nothing checks
};

struct LoopStepOutcome {
  int run = 0;  // index into the project's runs
  bool forward = true;
};

struct LoopOutcome {
  std::vector<LoopStepOutcome> steps;
  std::string first_fixed;  // a chain between two fixed marks; "" for a loop
  std::string last_fixed;
  double length = 0;
  double misclosure = 0;
  double allowed = 0;
  bool meets = false;
};

struct ProjectResult {
  AdjustMode mode = AdjustMode::kRuns;
  bool adjusted = false;
  std::string problem;           // when not adjusted: why
  std::vector<RunOutcome> runs;  // one per run of the project, in its order
  std::vector<MarkOutcome> marks;
  std::vector<LoopOutcome> loops;
  std::string summary;  // the report's summary box (a network's), or the runs' tally
  std::optional<double> sigma_aposteriori;  // the network's standard error of unit weight, mm
  // The network as adjusted, for its exports; null when adjusted run by run.
  std::shared_ptr<const Network> network;
  std::shared_ptr<const NetworkResult> network_result;
  std::vector<int> network_run;  // per network run: its index in the project's runs
};

// The settings the project's runs are read with.
RunReadSettings ReadSettingsOf(const ProjectOptions& options);

// The network request the project stands for: its run files, units,
// refraction and the trig group's sigma. No marks file is named.
NetworkRequest NetworkRequestOf(const Project& project,
                                const std::vector<std::shared_ptr<const ProjectRun>>& runs);

// The converted field files of `runs`, by the names the engine reads them under.
MemoryFiles ConvertedFiles(const std::vector<std::shared_ptr<const ProjectRun>>& runs);

// How `project` is adjusted, given its runs as read (one per project run).
AdjustMode ModeOf(const Project& project,
                  const std::vector<std::shared_ptr<const ProjectRun>>& runs);

// Adjusts the project. `runs` holds one read run per project run, in its
// order. `progress` is told how many of `total` steps are done;
// `cancelled`, once true, ends the work (the answer is then not adjusted).
ProjectResult AdjustProject(Platform& disk, const Project& project,
                            const std::vector<std::shared_ptr<const ProjectRun>>& runs,
                            const std::function<bool()>& cancelled = {},
                            const std::function<void(int done, int total)>& progress = {});

}  // namespace quarrow
