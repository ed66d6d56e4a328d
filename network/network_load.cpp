#include <algorithm>
#include <numeric>
#include <unordered_map>

#include "engine/closure_pass.h"
#include "engine/data_fields.h"
#include "engine/error_box.h"
#include "engine/messages.h"
#include "engine/run_state.h"
#include "engine/units_hint.h"
#include "engine/whole_file.h"
#include "network/network_adjustment.h"
#include "network/run_files.h"
#include "shell/check_input_file.h"
#include "shell/prepare_adjustment.h"

namespace quarrow {

namespace {

// The units of the network: --units, or those the files name. Each file is
// in the units its first line names, else in those of --units, else in feet,
// as a single run is; all must agree. `named` holds each file and the units
// it names, in order.
bool CheckUnits(Platform& platform, const NetworkRequest& request,
                const std::vector<std::pair<std::string, std::optional<Units>>>& named,
                Units& units) {
  const Units unnamed = request.units.value_or(Units::kFeet);
  const std::pair<std::string, std::optional<Units>>* first = nullptr;
  for (const auto& file : named) {
    const std::optional<Units>& hint = file.second;
    if (request.units && hint && *hint != *request.units) {
      ShowError(platform, {"The field file names other units than --units:",
                           file.first + ": " + std::string(UnitsName(*hint)) + ", --units " +
                               std::string(UnitsName(*request.units)),
                           "Adjust a network in the units its field files were written in."});
      return false;
    }
    if (first != nullptr && hint.value_or(unnamed) != first->second.value_or(unnamed)) {
      const auto said = [&](const std::pair<std::string, std::optional<Units>>& one) {
        return one.first + ": " + std::string(UnitsName(one.second.value_or(unnamed))) +
               (one.second ? "" : " (it names none: feet unless --units says otherwise)");
      };
      ShowError(platform,
                {"The field files of the network are in different units:", said(*first), said(file),
                 "Adjust a network in one unit: give --units, or convert its files again."});
      return false;
    }
    if (first == nullptr) first = &file;
  }
  units = first == nullptr ? unnamed : first->second.value_or(unnamed);
  return true;
}

// The lines of one lines file, as observations of their groups.
bool ReadLines(Platform& platform, const std::string& path, Network& network) {
  std::string bytes;
  if (!ReadWholeFile(platform, path, bytes)) {
    ShowError(platform, {messages::kUnableToOpen, path});
    return false;
  }
  const LinesFile file = ReadLinesFile(bytes);
  if (!file.error.empty()) {
    ShowError(platform, {file.error, path});
    return false;
  }
  const double limit = 1 / MetresPerUnit(network.units);
  for (const ListedLine& listed : file.lines) {
    // No levelled difference is known to a metre or worse: most often a
    // decimal comma has split the line's numbers.
    if (listed.std_dev && *listed.std_dev > limit) {
      ShowError(platform, {"A standard deviation of more than 1 m (3.3 ft) in the lines file:",
                           path + ", line " + std::to_string(listed.line),
                           "Write decimals with a point, not a comma; a standard deviation is in "
                           "the units of the network (" +
                               std::string(UnitsName(network.units)) + ")."});
      return false;
    }
    RunRecord line;
    line.kind = ObservationKind::kListedLine;
    line.file = path;
    line.line = listed.line;
    line.group = listed.group;
    line.std_dev = listed.std_dev;
    line.from_name = listed.from;
    line.to_name = listed.to;
    line.difference = listed.difference;
    line.length = listed.length;
    network.runs.push_back(std::move(line));
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
bool CheckConnected(Platform& platform, const Network& network, NetworkDatum datum) {
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
  if (datum == NetworkDatum::kFree) {
    // The free datum is one for the whole network: it must be one piece.
    const std::int64_t whole = count == 0 ? 0 : Root(parent, 0);
    std::string apart;
    for (std::size_t m = 0; m < count; ++m) {
      if (Root(parent, static_cast<std::int64_t>(m)) == whole) continue;
      apart += (apart.empty() ? "" : ", ") + network.mark_names[m];
    }
    if (apart.empty()) return true;
    ShowError(platform, {"A free network must be joined in one piece; these bench marks are not "
                         "joined to " +
                             network.mark_names[0] + " by any observation:",
                         apart, "Adjust the pieces apart, or add an observation to join them."});
    return false;
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
    runs += (runs.empty() ? "" : ", ") + run.Source();
  }
  ShowError(platform,
            {"These bench marks reach no mark of the marks file through runs:", marks,
             "Their runs:", runs, "Add one of them to the marks file, or a run to join them."});
  return false;
}

}  // namespace

bool CheckGroups(Platform& platform, const NetworkRequest& request, Network& network) {
  for (const RunRecord& run : network.runs) {
    if (std::find(network.groups.begin(), network.groups.end(), run.group) ==
        network.groups.end()) {
      network.groups.push_back(run.group);
    }
    if (run.std_dev || request.sigma_millimetres.count(run.group) != 0) continue;
    ShowError(platform,
              {"The group " + run.group + " has no a-priori standard error:", run.Source(),
               "Give it one with --sigma " + run.group +
                   "=S (mm per root km), or a standard deviation to each of its "
                   "lines."});
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

void PrepareRunState(RunState& rs, const RunRecord& run, Units units, const NetworkRequest& request,
                     double begin_elevation, double end_elevation) {
  InitialiseFrames(rs);
  rs.InputPath = run.file;
  rs.ReportPath = run.report_path;
  rs.DegreeMark = run.degree_mark;
  StoreAdjustmentInputs(rs, begin_elevation, end_elevation, units);
  StoreRunChoices(rs, {.refraction_k = request.refraction, .distribute_by_setups = false});
}

void PrepareRunState(RunState& rs, const RunRecord& run, const Network& network,
                     const NetworkRequest& request, double begin_elevation, double end_elevation) {
  PrepareRunState(rs, run, network.units, request, begin_elevation, end_elevation);
}

// The closure pass over one field file from an elevation of zero: what it
// carries to the end is the run's difference. Its misclosure against zero
// means nothing yet: the run's tests are made once the network has given
// its marks their elevations.
bool ReadNetworkRun(Platform& platform, const NetworkRequest& request, Units units, RunRecord& run,
                    FieldFileChecker& checker, RunState& rs) {
  InitialiseFrames(rs);
  rs.InputPath = run.file;
  if (CheckInputFile(rs, platform, CheckMode::kCheckAndDerive) != kFileUsable) return false;
  run.report_path = rs.ReportPath;
  run.degree_mark = rs.DegreeMark;
  PrepareRunState(rs, run, units, request, 0, 0);
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

bool JoinNetwork(Platform& platform, const MarksFile& listed, Network& network,
                 NetworkDatum datum) {
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
    network.positions.push_back(mark.position);
  }
  for (RunRecord& run : network.runs) {
    run.from = add(run.from_name, {});
    run.to = add(run.to_name, {});
  }
  network.positions.resize(network.marks.size());
  return CheckConnected(platform, network, datum);
}

std::optional<Network> LoadNetwork(Platform& platform, const NetworkRequest& request) {
  // A free network may do without marks: its datum is then all its marks.
  MarksFile listed;
  if (!request.marks_file.empty()) {
    std::string bytes;
    if (!ReadWholeFile(platform, request.marks_file, bytes)) {
      ShowError(platform, {messages::kUnableToOpen, request.marks_file});
      return std::nullopt;
    }
    listed = ReadMarksFile(bytes);
    if (!listed.error.empty()) {
      ShowError(platform, {listed.error, request.marks_file});
      return std::nullopt;
    }
  }

  std::vector<ReadRunFile> read = ReadRunFiles(platform, request, request.threads);
  std::vector<std::pair<std::string, std::optional<Units>>> named;
  for (const ReadRunFile& file : read) named.emplace_back(file.run.file, file.named_units);
  for (const std::string& file : request.lines_files) {
    named.emplace_back(file, ReadUnitsHint(platform, file));
  }
  Network network;
  // In the files' order: each file's messages as it showed them, up to the
  // first file that could not be read.
  for (ReadRunFile& file : read) {
    for (const MessageBoxSpec& box : file.messages) platform.ShowMessage(box);
    if (!file.read) return std::nullopt;
    if (!file.levelled_lines.empty()) {
      for (RunRecord& line : file.levelled_lines) network.runs.push_back(std::move(line));
      continue;
    }
    network.runs.push_back(std::move(file.run));
    if (file.checker.warning_count() > 0) {
      network.warnings.emplace_back(network.runs.back().file, std::move(file.checker));
    }
  }
  read.clear();
  if (!CheckUnits(platform, request, named, network.units)) return std::nullopt;
  if (!CheckStandardDeviations(platform, request.marks_file, listed, network.units)) {
    return std::nullopt;
  }
  for (const std::string& file : request.lines_files) {
    if (!ReadLines(platform, file, network)) return std::nullopt;
  }
  if (!CheckGroups(platform, request, network)) return std::nullopt;
  if (!JoinNetwork(platform, listed, network, request.datum)) return std::nullopt;
  return network;
}

std::string RunRecord::Source() const {
  return line > 0 ? file + ":" + std::to_string(line) : file;
}

bool NetworkRequest::AsksForMore() const {
  const NetworkRequest plain;
  return !lines_files.empty() || variance_components || datum != NetworkDatum::kListedMarks ||
         decimals != plain.decimals || sigma_millimetres.size() != plain.sigma_millimetres.size() ||
         sigma_millimetres.at(std::string(kLevelGroup)) != kDefaultLevelSigmaMillimetres;
}

double NetworkRequest::TrigSigma() const {
  const auto found = sigma_millimetres.find(kTrigGroup);
  return found == sigma_millimetres.end() ? kDefaultSigmaMillimetres : found->second;
}

}  // namespace quarrow
