#include "network/network_adjustment.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_map>

#include "engine/closure_pass.h"
#include "engine/data_fields.h"
#include "engine/error_box.h"
#include "engine/messages.h"
#include "engine/run_state.h"
#include "engine/third_order.h"
#include "engine/units_hint.h"
#include "engine/whole_file.h"
#include "network/chi_square.h"
#include "shell/check_input_file.h"
#include "shell/prepare_adjustment.h"

namespace quarrow {

namespace {

// A residual cofactor below this share of the run's own cofactor is zero:
// nothing but the run itself determines the difference it measures.
constexpr double kUncheckedCofactor = 1e-10;

// The units of the network: --units, or those the field files name. Each
// file is in the units its first line names, else in those of --units, else
// in feet, as a single run is; all must agree.
bool ResolveUnits(Platform& platform, const NetworkRequest& request, Units& units) {
  const Units unnamed = request.units.value_or(Units::kFeet);
  std::string first_file;
  std::optional<Units> first;
  for (const std::string& file : request.run_files) {
    const std::optional<Units> hint = ReadUnitsHint(platform, file);
    if (request.units && hint && *hint != *request.units) {
      ShowError(platform, {"The field file names other units than --units:",
                           file + ": " + std::string(UnitsName(*hint)) + ", --units " +
                               std::string(UnitsName(*request.units)),
                           "Adjust a network in the units its field files were written in."});
      return false;
    }
    const Units file_units = hint.value_or(unnamed);
    if (first && file_units != *first) {
      const auto said = [&](const std::string& name, Units in, bool named) {
        return name + ": " + std::string(UnitsName(in)) +
               (named ? "" : " (it names none: feet unless --units says otherwise)");
      };
      ShowError(platform,
                {"The field files of the network are in different units:",
                 said(first_file, *first, ReadUnitsHint(platform, first_file).has_value()),
                 said(file, file_units, hint.has_value()),
                 "Adjust a network in one unit: give --units, or convert its files again."});
      return false;
    }
    if (!first) {
      first = file_units;
      first_file = file;
    }
  }
  units = first.value_or(unnamed);
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

void PrepareRunState(RunState& rs, const RunRecord& run, const Network& network,
                     const NetworkRequest& request, double begin_elevation, double end_elevation) {
  InitialiseFrames(rs);
  rs.InputPath = run.file;
  rs.ReportPath = run.report_path;
  rs.DegreeMark = run.degree_mark;
  StoreAdjustmentInputs(rs, begin_elevation, end_elevation, network.units);
  StoreRunChoices(rs, {.refraction_k = request.refraction, .distribute_by_setups = false});
}

bool ReadNetworkRun(Platform& platform, const NetworkRequest& request, Units units, RunRecord& run,
                    FieldFileChecker& checker, RunState& rs) {
  InitialiseFrames(rs);
  rs.InputPath = run.file;
  if (CheckInputFile(rs, platform, CheckMode::kCheckAndDerive) != kFileUsable) return false;
  run.report_path = rs.ReportPath;
  run.degree_mark = rs.DegreeMark;
  Network in_units;
  in_units.units = units;
  PrepareRunState(rs, run, in_units, request, 0, 0);
  const ClosureResult closure = RunClosurePass(rs, platform, &checker);
  if (closure.status != ClosureStatus::kComputed) return false;
  // The marks are the run's own first backsight and last foresight: a later
  // backsight's name standing in for an unnamed first one would join the
  // run to the network at a turning point.
  run.from_name = checker.first_backsight_name();
  run.to_name = checker.last_foresight_name();
  run.difference = rs.Elev - rs.BeginElev;
  run.length = rs.RunLength;
  run.setups = rs.SetupCount;
  run.turn_errors = closure.verdict.bad_turns;
  run.run_unbalanced = closure.verdict.run_unbalanced;
  if (run.from_name.empty() || run.to_name.empty()) {
    const std::int64_t line =
        run.from_name.empty() ? checker.first_backsight_line() : checker.last_foresight_line();
    ShowError(platform, {run.from_name.empty() ? "The beginning bench mark has no name in:"
                                               : "The ending bench mark has no name in:",
                         run.file + ", line " + std::to_string(line),
                         "A run can only be joined to the network at named marks."});
    return false;
  }
  return true;
}

// A standard deviation of a metre or more is no published elevation's: most
// often a decimal comma has split "499,803" into an elevation of 499 and a
// standard deviation of 803.
bool CheckStandardDeviations(Platform& platform, const std::string& path, const MarksFile& listed,
                             Units units) {
  const double limit = 1 / MetresPerUnit(units);
  for (const ListedMark& mark : listed.marks) {
    if (!mark.std_dev || *mark.std_dev <= limit) continue;
    ShowError(platform,
              {"A standard deviation of more than 1 m (3.3 ft) in the marks file:",
               path + ", line " + std::to_string(mark.line) + ": " + mark.name,
               "Write decimals with a point, not a comma; a standard deviation is in the units "
               "of the network (" +
                   std::string(UnitsName(units)) + ")."});
    return false;
  }
  return true;
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
  if (!ResolveUnits(platform, request, network.units)) return std::nullopt;
  if (!CheckStandardDeviations(platform, request.marks_file, listed, network.units)) {
    return std::nullopt;
  }
  for (const std::string& file : request.run_files) {
    RunRecord run;
    run.file = file;
    FieldFileChecker checker;
    RunState rs;
    if (!ReadNetworkRun(platform, request, network.units, run, checker, rs)) return std::nullopt;
    if (checker.warning_count() > 0) network.warnings.emplace_back(run.file, std::move(checker));
    network.runs.push_back(std::move(run));
  }
  if (!JoinNetwork(platform, listed, network)) return std::nullopt;
  return network;
}

bool JoinNetwork(Platform& platform, const MarksFile& listed, Network& network) {
  network.mark_names.clear();
  network.marks.clear();
  network.untouched_marks.clear();
  // Listed marks first, in the order of the marks file, then the others as
  // the runs meet them.
  std::unordered_map<std::string, std::int64_t> index;
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
  return CheckConnected(platform, network);
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
  result.runs_unchecked = 0;
  result.flagged_runs = 0;
  result.mark_checked.assign(network.marks.size(), false);
  for (std::size_t m = 0; m < network.marks.size(); ++m) {
    result.mark_checked[m] = network.marks[m].status == MarkStatus::kFixed;
  }
  for (std::size_t r = 0; r < runs.size(); ++r) {
    const RunRecord& record = network.runs[r];
    RunResult& run = result.runs[r];
    run.residual = solution.residual[r];
    run.allowed = AllowedMisclosure(record.length, network.units);
    // A run nothing else checks (a spur to a mark of its own) keeps a
    // cofactor of zero, but for the rounding of the sums that make it.
    const double q = solution.residual_cofactor[r];
    if (!(q > kUncheckedCofactor * runs[r].length_km)) {
      run.residual = 0;  // Deliberate: what is left is the rounding of the solution
      ++result.runs_unchecked;
      continue;
    }
    run.standardized = run.residual / (result.sigma_units * std::sqrt(q));
    run.flagged = std::fabs(*run.standardized) > kBlunderLimit;
    // The same three tests quarrow-adjust makes, with the run's misclosure
    // between its adjusted marks, which is its residual.
    run.meets_third_order = record.turn_errors == 0 && !record.run_unbalanced &&
                            !ExceedsMisclosure(run.residual, run.allowed);
    if (*run.meets_third_order) ++result.runs_meeting;
    if (run.flagged) ++result.flagged_runs;
    result.mark_checked[static_cast<std::size_t>(record.from)] = true;
    result.mark_checked[static_cast<std::size_t>(record.to)] = true;
  }
  result.marks_unchecked = static_cast<std::int64_t>(
      std::count(result.mark_checked.begin(), result.mark_checked.end(), false));

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
  result.all_meet = result.runs_unchecked == 0 &&
                    result.runs_meeting == static_cast<std::int64_t>(runs.size()) &&
                    result.loops_meeting == static_cast<std::int64_t>(result.loops.size()) &&
                    result.global_test_passed;
  return true;
}

}  // namespace quarrow
