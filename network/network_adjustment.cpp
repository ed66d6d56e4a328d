#include "network/network_adjustment.h"

#include <cmath>
#include <numeric>
#include <unordered_map>

#include "engine/closure_pass.h"
#include "engine/data_fields.h"
#include "engine/error_box.h"
#include "engine/messages.h"
#include "engine/run_state.h"
#include "engine/third_order.h"
#include "engine/whole_file.h"
#include "network/chi_square.h"
#include "shell/check_input_file.h"
#include "shell/prepare_adjustment.h"

namespace quarrow {

namespace {

// The closure pass over one field file from an elevation of zero: what it
// carries to the end is the run's difference. Its misclosure against zero
// means nothing yet: the run's tests are made once the network has given
// its marks their elevations.
bool ReadRun(Platform& platform, const NetworkRequest& request, RunRecord& run) {
  RunState rs;
  InitialiseFrames(rs);
  rs.InputPath = run.file;
  if (CheckInputFile(rs, platform, CheckMode::kCheckAndDerive) != kFileUsable) return false;
  run.report_path = rs.ReportPath;
  run.degree_mark = rs.DegreeMark;
  PrepareRunState(rs, run, request, 0, 0);
  const ClosureResult closure = RunClosurePass(rs, platform);
  if (closure.status != ClosureStatus::kComputed) return false;
  run.from_name = std::string(TrimBlanksAndTabs(rs.FirstMark));
  run.to_name = std::string(TrimBlanksAndTabs(rs.LastMark));
  run.difference = rs.Elev - rs.BeginElev;
  run.length = rs.RunLength;
  run.setups = rs.SetupCount;
  run.turn_errors = closure.verdict.bad_turns;
  run.run_unbalanced = closure.verdict.run_unbalanced;
  if (run.from_name.empty() || run.to_name.empty()) {
    ShowError(platform, {run.from_name.empty() ? "The beginning bench mark has no name in:"
                                               : "The ending bench mark has no name in:",
                         run.file, "A run can only be joined to the network at named marks."});
    return false;
  }
  return true;
}

std::int64_t Root(std::vector<std::int64_t>& parent, std::int64_t node) {
  while (parent[static_cast<std::size_t>(node)] != node) {
    parent[static_cast<std::size_t>(node)] =
        parent[static_cast<std::size_t>(parent[static_cast<std::size_t>(node)])];
    node = parent[static_cast<std::size_t>(node)];
  }
  return node;
}

// Every bench mark must reach a listed one through runs, or its elevation
// is not determined.
bool CheckConnected(Platform& platform, const Network& network) {
  const std::size_t count = network.marks.size();
  std::vector<std::int64_t> parent(count);
  std::iota(parent.begin(), parent.end(), 0);
  for (const RunRecord& run : network.runs) {
    parent[static_cast<std::size_t>(Root(parent, run.from))] = Root(parent, run.to);
  }
  std::vector<bool> anchored(count, false);
  for (std::size_t m = 0; m < count; ++m) {
    if (network.marks[m].status != MarkStatus::kAdjusted) {
      anchored[static_cast<std::size_t>(Root(parent, static_cast<std::int64_t>(m)))] = true;
    }
  }
  std::string marks;
  std::string runs;
  for (std::size_t m = 0; m < count; ++m) {
    if (anchored[static_cast<std::size_t>(Root(parent, static_cast<std::int64_t>(m)))]) continue;
    marks += (marks.empty() ? "" : ", ") + network.mark_names[m];
  }
  if (marks.empty()) return true;
  for (const RunRecord& run : network.runs) {
    if (anchored[static_cast<std::size_t>(Root(parent, run.from))]) continue;
    runs += (runs.empty() ? "" : ", ") + run.file;
  }
  ShowError(platform,
            {"These bench marks reach no mark of the marks file through runs:", marks,
             "Their runs:", runs, "Add one of them to the marks file, or a run to join them."});
  return false;
}

}  // namespace

void PrepareRunState(RunState& rs, const RunRecord& run, const NetworkRequest& request,
                     double begin_elevation, double end_elevation) {
  InitialiseFrames(rs);
  rs.InputPath = run.file;
  rs.ReportPath = run.report_path;
  rs.DegreeMark = run.degree_mark;
  StoreAdjustmentInputs(rs, begin_elevation, end_elevation, request.units);
  StoreRunChoices(rs, {.refraction_k = request.refraction, .distribute_by_setups = false});
}

std::optional<Network> LoadNetwork(Platform& platform, const NetworkRequest& request) {
  std::string bytes;
  if (!ReadWholeFile(platform, request.marks_file, bytes)) {
    ShowError(platform, {messages::kUnableToOpen, request.marks_file});
    return std::nullopt;
  }
  const MarksFile listed = ReadMarksFile(bytes);
  if (!listed.error.empty()) {
    ShowError(platform, {listed.error, request.marks_file});
    return std::nullopt;
  }

  Network network;
  network.units = request.units;
  for (const std::string& file : request.run_files) {
    RunRecord run;
    run.file = file;
    if (!ReadRun(platform, request, run)) return std::nullopt;
    network.runs.push_back(std::move(run));
  }

  // Listed marks first, in the order of the marks file, then the others as
  // the runs meet them.
  std::unordered_map<std::string, std::int64_t> index;
  std::unordered_map<std::string, const ListedMark*> by_name;
  for (const ListedMark& mark : listed.marks) by_name.emplace(mark.name, &mark);
  std::vector<bool> touched(listed.marks.size(), false);
  std::unordered_map<std::string, std::size_t> listed_position;
  for (std::size_t i = 0; i < listed.marks.size(); ++i) listed_position[listed.marks[i].name] = i;
  for (const RunRecord& run : network.runs) {
    for (const std::string* name : {&run.from_name, &run.to_name}) {
      const auto found = listed_position.find(*name);
      if (found != listed_position.end()) touched[found->second] = true;
    }
  }
  const auto add = [&network, &index](const std::string& name, NetworkMark mark) {
    const auto [entry, inserted] =
        index.emplace(name, static_cast<std::int64_t>(network.marks.size()));
    if (!inserted) return entry->second;
    network.mark_names.push_back(name);
    network.marks.push_back(mark);
    return entry->second;
  };
  for (std::size_t i = 0; i < listed.marks.size(); ++i) {
    const ListedMark& mark = listed.marks[i];
    if (!touched[i]) {
      network.untouched_marks.push_back(mark.name);
      continue;
    }
    add(mark.name, {mark.std_dev ? MarkStatus::kWeighted : MarkStatus::kFixed, mark.elevation,
                    mark.std_dev.value_or(0)});
  }
  for (RunRecord& run : network.runs) {
    run.from = add(run.from_name, {});
    run.to = add(run.to_name, {});
  }
  if (!CheckConnected(platform, network)) return std::nullopt;
  return network;
}

bool AdjustNetwork(const Network& network, double sigma_millimetres, NetworkResult& result) {
  const double unit_per_millimetre = 1 / (1000 * MetresPerUnit(network.units));
  const double kilometres_per_unit = MetresPerUnit(network.units) / 1000;
  result.sigma_millimetres = sigma_millimetres;
  result.sigma_units = sigma_millimetres * unit_per_millimetre;

  std::vector<NetworkRun> runs;
  runs.reserve(network.runs.size());
  for (const RunRecord& run : network.runs) {
    runs.push_back({run.from, run.to, run.difference, run.length * kilometres_per_unit});
  }
  result.solution = SolveNetwork(network.marks, runs, result.sigma_units);
  if (!result.solution.solved) return false;
  const NetworkSolution& solution = result.solution;

  result.runs.resize(runs.size());
  result.runs_meeting = 0;
  result.flagged_runs = 0;
  for (std::size_t r = 0; r < runs.size(); ++r) {
    const RunRecord& record = network.runs[r];
    RunResult& run = result.runs[r];
    run.residual = solution.residual[r];
    const double q = solution.residual_cofactor[r];
    if (q > 0) {
      run.standardized = run.residual / (result.sigma_units * std::sqrt(q));
      run.flagged = std::fabs(*run.standardized) > kBlunderLimit;
    }
    run.allowed = AllowedMisclosure(record.length, network.units);
    // The same three tests quarrow-adjust makes, with the run's misclosure
    // between its adjusted marks, which is its residual.
    run.meets_third_order = record.turn_errors == 0 && !record.run_unbalanced &&
                            !ExceedsMisclosure(run.residual, run.allowed);
    if (run.meets_third_order) ++result.runs_meeting;
    if (run.flagged) ++result.flagged_runs;
  }

  result.loops.clear();
  result.loops_meeting = 0;
  for (NetworkLoop& loop : FindLoops(network.marks, runs)) {
    LoopResult entry;
    for (const LoopStep& step : loop.steps)
      entry.length += network.runs[static_cast<std::size_t>(step.run)].length;
    entry.allowed = AllowedMisclosure(entry.length, network.units);
    entry.meets = !ExceedsMisclosure(loop.misclosure, entry.allowed);
    if (entry.meets) ++result.loops_meeting;
    entry.loop = std::move(loop);
    result.loops.push_back(std::move(entry));
  }

  result.test_statistic = solution.weighted_square_sum / (result.sigma_units * result.sigma_units);
  result.sigma_aposteriori.reset();
  result.global_test_passed = true;
  if (solution.redundancy > 0) {
    const double redundancy = static_cast<double>(solution.redundancy);
    result.sigma_aposteriori =
        std::sqrt(solution.weighted_square_sum / redundancy) / unit_per_millimetre;
    result.test_lower = ChiSquareQuantile(solution.redundancy, 0.025);
    result.test_upper = ChiSquareQuantile(solution.redundancy, 0.975);
    result.global_test_passed =
        result.test_statistic >= result.test_lower && result.test_statistic <= result.test_upper;
  }
  result.all_meet = result.runs_meeting == static_cast<std::int64_t>(runs.size()) &&
                    result.loops_meeting == static_cast<std::int64_t>(result.loops.size()) &&
                    result.global_test_passed;
  return true;
}

}  // namespace quarrow
