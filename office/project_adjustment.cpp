#include "office/project_adjustment.h"

#include <cmath>
#include <unordered_map>

#include "engine/closure_pass.h"
#include "engine/third_order.h"
#include "network/marks_file.h"
#include "network/network_report.h"
#include "office/office_platform.h"
#include "shell/prepare_adjustment.h"

namespace quarrow {

namespace {

using Runs = std::vector<std::shared_ptr<const ProjectRun>>;

const ProjectMark* FindMark(const Project& project, const std::string& name) {
  for (const ProjectMark& mark : project.marks) {
    if (mark.name == name && mark.elevation) return &mark;
  }
  return nullptr;
}

bool IsFixed(const ProjectMark* mark) { return mark != nullptr && !mark->std_dev; }

std::vector<OrderMet> ReportedOrders(const RunMeasures& measures,
                                     const std::vector<std::string>& reported) {
  std::vector<OrderMet> orders;
  for (const OrderCheck& check : CheckOrders(measures)) {
    for (const std::string& order : reported) {
      if (order == check.order) orders.push_back({order, check.meets});
    }
  }
  return orders;
}

// From the line of the summary box's upper border to the end.
std::string SummaryBox(const std::string& report) {
  const std::size_t border = report.find("\r\n+---");
  return border == std::string::npos ? std::string() : report.substr(border + 2);
}

std::string Count(std::size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// Each run between its two fixed marks, by the closure pass quarrow-adjust runs.
void AdjustRunByRun(Platform& disk, const Project& project, const Runs& runs,
                    const std::function<bool()>& cancelled,
                    const std::function<void(int, int)>& progress, ProjectResult& result) {
  const MemoryFiles memory = ConvertedFiles(runs);
  OfficePlatform platform(disk, &memory, cancelled);
  const NetworkRequest request = NetworkRequestOf(project, runs);
  Network in_units;
  in_units.units = project.options.units;
  std::size_t meeting = 0;
  std::size_t adjusted = 0;
  std::unordered_map<std::string, bool> touched;
  for (std::size_t r = 0; r < runs.size(); ++r) {
    if (progress) progress(static_cast<int>(r), static_cast<int>(runs.size()));
    if (platform.IsCancelled()) return;
    const ProjectRun& run = *runs[r];
    RunOutcome& outcome = result.runs[r];
    if (!run.read) continue;
    const ProjectMark* begin = FindMark(project, run.record.from_name);
    const ProjectMark* end = FindMark(project, run.record.to_name);
    RunState rs;
    PrepareRunState(rs, run.record, in_units, request, begin->elevation.value(),
                    end->elevation.value());
    StoreRunChoices(rs, {.refraction_k = project.options.refraction_k,
                         .distribute_by_setups = project.options.distribute_by_setups});
    const std::size_t messages = platform.messages().size();
    const ClosureResult closure = RunClosurePass(rs, platform);
    if (closure.status != ClosureStatus::kComputed) {
      outcome.note = platform.messages().size() > messages ? platform.messages().back()
                                                           : "The run could not be computed.";
      continue;
    }
    outcome.adjusted = true;
    outcome.begin_elevation = rs.BeginElev;
    outcome.end_elevation = rs.EndElev;
    outcome.misclosure = rs.Misclosure;
    outcome.allowed = rs.AllowedError;
    outcome.balance = rs.SumBsHd - rs.SumFsHd;
    outcome.verdict = closure.verdict.Meets() ? RunVerdict::kMeets : RunVerdict::kFails;
    RunMeasures measures;
    measures.units = project.options.units;
    measures.run_length = rs.RunLength;
    measures.misclosure = rs.Misclosure;
    measures.third_order = closure.verdict;
    measures.max_setup_imbalance = rs.MaxSetupImbalance;
    measures.total_imbalance = std::fabs(rs.SumBsHd - rs.SumFsHd);
    measures.max_sight = rs.MaxSight;
    outcome.orders = ReportedOrders(measures, project.options.orders);
    ++adjusted;
    if (closure.verdict.Meets()) ++meeting;
    touched[run.record.from_name] = true;
    touched[run.record.to_name] = true;
  }
  for (const ProjectMark& mark : project.marks) {
    if (touched.count(mark.name) == 0) continue;
    result.marks.push_back({mark.name, MarkStatus::kFixed, mark.elevation.value(), 0, true});
  }
  result.adjusted = true;
  result.summary =
      "Each run is adjusted on its own between its two marks: every run begins\n"
      "and ends on a mark held fixed, so no run checks another.\n" +
      std::to_string(meeting) + " of " + Count(adjusted, "run meets", "runs meet") +
      " third order specifications.";
}

// The marks of the project as a marks file lists them: those with an
// elevation, their rows as the lines.
MarksFile ListedMarks(const Project& project) {
  MarksFile listed;
  for (std::size_t i = 0; i < project.marks.size(); ++i) {
    const ProjectMark& mark = project.marks[i];
    if (!mark.elevation) continue;
    ListedMark entry;
    entry.name = mark.name;
    entry.elevation = *mark.elevation;
    entry.std_dev = mark.std_dev;
    if (mark.easting && mark.northing) entry.position = MarkPosition{*mark.easting, *mark.northing};
    entry.line = static_cast<int>(i) + 1;
    listed.marks.push_back(std::move(entry));
  }
  return listed;
}

void AdjustAsNetwork(Platform& disk, const Project& project, const Runs& runs,
                     const std::function<bool()>& cancelled, ProjectResult& result) {
  OfficePlatform platform(disk, nullptr, cancelled);
  const MarksFile listed = ListedMarks(project);
  if (listed.marks.empty()) {
    result.problem =
        "No mark has an elevation: give at least one mark of the runs its published "
        "elevation in the marks table.";
    return;
  }
  if (!CheckStandardDeviations(platform, "The marks table", listed, project.options.units)) {
    result.problem = platform.MessageText();
    return;
  }
  auto network = std::make_shared<Network>();
  network->units = project.options.units;
  for (std::size_t r = 0; r < runs.size(); ++r) {
    if (!runs[r]->read) continue;
    if (runs[r]->levelled_lines.empty()) {
      network->runs.push_back(runs[r]->record);
      result.network_run.push_back(static_cast<int>(r));
    }
    for (const RunRecord& line : runs[r]->levelled_lines) {
      network->runs.push_back(line);
      result.network_run.push_back(static_cast<int>(r));
    }
  }
  if (network->runs.empty()) {
    result.problem = "No run of the project could be read: see each run's checks.";
    return;
  }
  const NetworkRequest request = NetworkRequestOf(project, runs);
  if (!CheckGroups(platform, request, *network) || !JoinNetwork(platform, listed, *network)) {
    result.problem = platform.MessageText();
    return;
  }
  auto adjusted = std::make_shared<NetworkResult>();
  if (!AdjustNetwork(*network, request, *adjusted)) {
    result.problem = "The network cannot be adjusted: its normal equations are singular.";
    return;
  }
  const NetworkSolution& solution = adjusted->solution;
  for (std::size_t n = 0; n < network->runs.size(); ++n) {
    const RunRecord& record = network->runs[n];
    const ProjectRun& run = *runs[static_cast<std::size_t>(result.network_run[n])];
    const RunResult& adjusted_run = adjusted->runs[n];
    RunOutcome& outcome = result.runs[static_cast<std::size_t>(result.network_run[n])];
    if (record.kind != ObservationKind::kTrigRun) {
      // A digital level's lines: the worst of their residuals stands for the file.
      outcome.note =
          "A digital level's lines are observations of the level group, which third "
          "order does not judge; each line's residual is in the network report.";
      if (adjusted_run.standardized &&
          (!outcome.standardized ||
           std::fabs(*adjusted_run.standardized) > std::fabs(*outcome.standardized))) {
        outcome.standardized = adjusted_run.standardized;
      }
      outcome.flagged = outcome.flagged || adjusted_run.flagged;
      continue;
    }
    outcome.adjusted = true;
    outcome.begin_elevation = solution.elevation[static_cast<std::size_t>(record.from)];
    outcome.end_elevation = solution.elevation[static_cast<std::size_t>(record.to)];
    outcome.misclosure = adjusted_run.residual;
    outcome.allowed = adjusted_run.allowed;
    outcome.balance = run.sum_backsight - run.sum_foresight;
    outcome.standardized = adjusted_run.standardized;
    outcome.flagged = adjusted_run.flagged;
    if (!adjusted_run.meets_third_order) {
      outcome.verdict = RunVerdict::kNotChecked;
      outcome.note = "Nothing else in the network measures this run.";
      continue;
    }
    outcome.verdict = *adjusted_run.meets_third_order ? RunVerdict::kMeets : RunVerdict::kFails;
    RunMeasures measures;
    measures.units = project.options.units;
    measures.run_length = record.length;
    measures.misclosure = adjusted_run.residual;
    measures.third_order = {record.turn_errors, record.run_unbalanced,
                            ExceedsMisclosure(adjusted_run.residual, adjusted_run.allowed)};
    measures.max_setup_imbalance = run.max_setup_imbalance;
    measures.total_imbalance = std::fabs(run.sum_backsight - run.sum_foresight);
    measures.max_sight = run.max_sight;
    outcome.orders = ReportedOrders(measures, project.options.orders);
  }
  for (std::size_t m = 0; m < network->marks.size(); ++m) {
    result.marks.push_back({network->mark_names[m], network->marks[m].status, solution.elevation[m],
                            solution.std_dev[m], adjusted->mark_checked[m]});
  }
  for (const LoopResult& loop : adjusted->loops) {
    LoopOutcome outcome;
    for (const LoopStep& step : loop.loop.steps) {
      outcome.steps.push_back(
          {result.network_run[static_cast<std::size_t>(step.run)], step.forward});
    }
    if (loop.loop.first_fixed >= 0) {
      outcome.first_fixed = network->mark_names[static_cast<std::size_t>(loop.loop.first_fixed)];
      outcome.last_fixed = network->mark_names[static_cast<std::size_t>(loop.loop.last_fixed)];
    }
    outcome.length = loop.length;
    outcome.misclosure = loop.loop.misclosure;
    outcome.allowed = loop.allowed;
    outcome.meets = loop.meets;
    result.loops.push_back(std::move(outcome));
  }
  result.summary = SummaryBox(NetworkReportText(platform, request, *network, *adjusted, ""));
  const std::size_t left_out = runs.size() - network->runs.size();
  if (left_out > 0) {
    result.summary +=
        Count(left_out, "run that could not be read is", "runs that could not be read are") +
        " left out of the network.\r\n";
  }
  result.sigma_aposteriori = adjusted->sigma_aposteriori;
  result.network = std::move(network);
  result.network_result = std::move(adjusted);
  result.adjusted = true;
}

}  // namespace

std::string_view VerdictName(RunVerdict verdict) {
  switch (verdict) {
    case RunVerdict::kMeets:
      return "meets";
    case RunVerdict::kFails:
      return "fails";
    case RunVerdict::kNotChecked:
      return "not checked";
    case RunVerdict::kNotRead:
      return "not read";
  }
  return "not checked";
}

RunReadSettings ReadSettingsOf(const ProjectOptions& options) {
  return {options.units, options.refraction_k};
}

NetworkRequest NetworkRequestOf(const Project& project, const Runs& runs) {
  NetworkRequest request;
  for (const auto& run : runs) {
    if (run->read) request.run_files.push_back(run->field_path);
  }
  request.units = project.options.units;
  request.refraction = project.options.refraction_k;
  for (const auto& [group, sigma] : project.options.sigma_millimetres) {
    request.sigma_millimetres[group] = sigma;
  }
  return request;
}

MemoryFiles ConvertedFiles(const Runs& runs) {
  MemoryFiles memory;
  for (const auto& run : runs) {
    if (run->converted) memory[run->field_path] = run->converted;
  }
  return memory;
}

AdjustMode ModeOf(const Project& project, const Runs& runs) {
  bool any = false;
  for (const auto& run : runs) {
    if (!run->read) continue;
    any = true;
    if (!run->levelled_lines.empty()) return AdjustMode::kNetwork;
    if (!IsFixed(FindMark(project, run->record.from_name)) ||
        !IsFixed(FindMark(project, run->record.to_name))) {
      return AdjustMode::kNetwork;
    }
  }
  return any ? AdjustMode::kRuns : AdjustMode::kNetwork;
}

ProjectResult AdjustProject(Platform& disk, const Project& project, const Runs& runs,
                            const std::function<bool()>& cancelled,
                            const std::function<void(int, int)>& progress) {
  ProjectResult result;
  result.runs.resize(runs.size());
  for (std::size_t r = 0; r < runs.size(); ++r) {
    if (!runs[r]->read) {
      result.runs[r].verdict = RunVerdict::kNotRead;
      result.runs[r].note = runs[r]->problem;
    }
  }
  if (runs.empty()) {
    result.problem = "The project has no runs: add field files or raw files first.";
    return result;
  }
  result.mode = ModeOf(project, runs);
  if (result.mode == AdjustMode::kRuns) {
    AdjustRunByRun(disk, project, runs, cancelled, progress, result);
  } else {
    AdjustAsNetwork(disk, project, runs, cancelled, result);
  }
  if (cancelled && cancelled()) {
    result = ProjectResult{};
    result.problem = "The adjustment was cancelled.";
  }
  return result;
}

}  // namespace quarrow
