#include "network/network_json.h"

#include "exports/json_writer.h"
#include "network/network_report.h"

namespace quarrow {

namespace {

std::string OrNull(bool present, double value) {
  return present ? JsonNumber(value) : std::string("null");
}

std::vector<std::string> MarkLines(const Network& network, const NetworkResult& result) {
  const NetworkSolution& solution = result.solution;
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < network.marks.size(); ++i) {
    const NetworkMark& mark = network.marks[i];
    const bool datum = !result.datum_marks.empty() && result.datum_marks[i];
    const bool aposteriori = !result.std_dev_aposteriori.empty();
    lines.push_back(
        JsonLine()
            .Add("name", JsonText(network.mark_names[i]))
            .Add("status", JsonString(datum ? "datum" : StatusName(result.marks[i].status)))
            .Add("published_elevation",
                 OrNull(mark.status != MarkStatus::kAdjusted, mark.published))
            .Add("adjusted_elevation", JsonNumber(solution.elevation[i]))
            .Add("std_dev", JsonNumber(solution.std_dev[i]))
            .Add("std_dev_aposteriori",
                 OrNull(aposteriori, aposteriori ? result.std_dev_aposteriori[i] : 0))
            .Add("checked", JsonBool(result.mark_checked[i]))
            .Text());
  }
  return lines;
}

// The statistics every observation has, after its own keys.
JsonLine& AddObservationStatistics(JsonLine& line, const RunRecord& run,
                                   const RunResult& adjusted) {
  return line.Add("group", JsonString(run.group))
      .Add("std_dev", JsonNumber(adjusted.std_dev))
      .Add("redundancy_number", JsonNumber(adjusted.redundancy_number))
      .Add("mdb", OrNull(adjusted.mdb.has_value(), adjusted.mdb.value_or(0)))
      .Add("tau", OrNull(adjusted.tau.has_value(), adjusted.tau.value_or(0)));
}

// The observations that are no trig runs: levelled lines.
std::vector<std::string> LevelledLines(const Network& network, const NetworkResult& result) {
  std::vector<std::string> lines;
  for (std::size_t r = 0; r < network.runs.size(); ++r) {
    const RunRecord& run = network.runs[r];
    if (run.kind == ObservationKind::kTrigRun) continue;
    const RunResult& adjusted = result.runs[r];
    JsonLine line;
    line.Add("file", JsonText(run.file))
        .Add("line", run.line > 0 ? std::to_string(run.line) : std::string("null"))
        .Add("from", JsonText(run.from_name))
        .Add("to", JsonText(run.to_name))
        .Add("length", JsonNumber(run.length))
        .Add("observed_difference", JsonNumber(run.difference))
        .Add("residual", JsonNumber(adjusted.residual))
        .Add("standardized_residual",
             OrNull(adjusted.standardized.has_value(), adjusted.standardized.value_or(0)))
        .Add("flagged", JsonBool(adjusted.flagged));
    lines.push_back(AddObservationStatistics(line, run, adjusted).Text());
  }
  return lines;
}

std::vector<std::string> GroupLines(const NetworkResult& result) {
  std::vector<std::string> lines;
  for (const GroupResult& group : result.groups) {
    lines.push_back(JsonLine()
                        .Add("name", JsonText(group.name))
                        .Add("observations", std::to_string(group.observations))
                        .Add("sigma_apriori", JsonNumber(group.sigma_apriori))
                        .Add("sigma_estimated", OrNull(group.sigma_estimated.has_value(),
                                                       group.sigma_estimated.value_or(0)))
                        .Add("variance_factor", JsonNumber(group.variance_factor))
                        .Add("redundancy", JsonNumber(group.redundancy))
                        .Text());
  }
  return lines;
}

std::vector<std::string> ControlLines(const Network& network, const NetworkResult& result) {
  std::vector<std::string> lines;
  for (const ControlCheck& check : result.control) {
    const auto mark = static_cast<std::size_t>(check.mark);
    lines.push_back(
        JsonLine()
            .Add("name", JsonText(network.mark_names[mark]))
            .Add("held", JsonText(network.mark_names[static_cast<std::size_t>(check.held)]))
            .Add("published_elevation", JsonNumber(network.marks[mark].published))
            .Add("difference", JsonNumber(check.difference))
            .Add("std_dev", JsonNumber(check.std_dev))
            .Add("standardized", JsonNumber(check.standardized))
            .Add("flagged", JsonBool(check.flagged))
            .Text());
  }
  return lines;
}

std::string_view DatumName(NetworkDatum datum) {
  switch (datum) {
    case NetworkDatum::kListedMarks:
      return "listed";
    case NetworkDatum::kMinimal:
      return "minimal";
    case NetworkDatum::kFree:
      return "free";
  }
  return "listed";
}

std::vector<std::string> RunLines(const Network& network, const NetworkResult& result) {
  std::vector<std::string> lines;
  for (std::size_t r = 0; r < network.runs.size(); ++r) {
    const RunRecord& run = network.runs[r];
    if (run.kind != ObservationKind::kTrigRun) continue;
    const RunResult& adjusted = result.runs[r];
    JsonLine line;
    line.Add("file", JsonText(run.file))
        .Add("from", JsonText(run.from_name))
        .Add("to", JsonText(run.to_name))
        .Add("length", JsonNumber(run.length))
        .Add("setups", std::to_string(run.setups))
        .Add("observed_difference", JsonNumber(run.difference))
        .Add("residual", JsonNumber(adjusted.residual))
        .Add("standardized_residual",
             OrNull(adjusted.standardized.has_value(), adjusted.standardized.value_or(0)))
        .Add("flagged", JsonBool(adjusted.flagged))
        .Add("allowed_misclosure", JsonNumber(adjusted.allowed))
        .Add("meets_third_order", adjusted.meets_third_order ? JsonBool(*adjusted.meets_third_order)
                                                             : std::string("null"));
    lines.push_back(AddObservationStatistics(line, run, adjusted).Text());
  }
  return lines;
}

std::vector<std::string> LoopLines(const Network& network, const NetworkResult& result) {
  std::vector<std::string> lines;
  for (const LoopResult& loop : result.loops) {
    std::vector<std::string> files;
    std::vector<std::string> reversed;
    for (const LoopStep& step : loop.loop.steps) {
      files.push_back(JsonText(network.runs[static_cast<std::size_t>(step.run)].Source()));
      reversed.push_back(JsonBool(!step.forward));
    }
    std::string between = "null";
    if (loop.loop.first_fixed >= 0) {
      between =
          JsonList({JsonText(network.mark_names[static_cast<std::size_t>(loop.loop.first_fixed)]),
                    JsonText(network.mark_names[static_cast<std::size_t>(loop.loop.last_fixed)])});
    }
    lines.push_back(JsonLine()
                        .Add("runs", JsonList(files))
                        .Add("reversed", JsonList(reversed))
                        .Add("between_fixed", between)
                        .Add("length", JsonNumber(loop.length))
                        .Add("misclosure", JsonNumber(loop.loop.misclosure))
                        .Add("allowed_misclosure", JsonNumber(loop.allowed))
                        .Add("meets", JsonBool(loop.meets))
                        .Text());
  }
  return lines;
}

}  // namespace

std::string NetworkJsonPrologue(const NetworkRequest& request, const Network& network,
                                const NetworkResult& result) {
  const NetworkSolution& solution = result.solution;
  std::string out;
  JsonDocument document(out);
  document.Key("units", JsonString(UnitsName(network.units)));
  document.Lines("marks", MarkLines(network, result));
  std::vector<std::string> untouched;
  for (const std::string& name : network.untouched_marks) untouched.push_back(JsonText(name));
  document.Key("untouched_marks", JsonList(untouched));
  document.Lines("runs", RunLines(network, result));
  document.Lines("loops", LoopLines(network, result));
  document.Lines("lines", LevelledLines(network, result));
  document.Lines("groups", GroupLines(result));
  document.Lines("control_check", ControlLines(network, result));
  const bool redundant = solution.redundancy > 0;
  document.Key("statistics",
               JsonLine()
                   .Add("redundancy", std::to_string(solution.redundancy))
                   .Add("sigma_apriori", JsonNumber(result.sigma_millimetres))
                   .Add("sigma_aposteriori", OrNull(result.sigma_aposteriori.has_value(),
                                                    result.sigma_aposteriori.value_or(0)))
                   .Add("test_statistic", JsonNumber(result.test_statistic))
                   .Add("chi_square_lower", OrNull(redundant, result.test_lower))
                   .Add("chi_square_upper", OrNull(redundant, result.test_upper))
                   .Add("global_test_passed", JsonBool(result.global_test_passed))
                   .Add("all_meet", JsonBool(result.all_meet))
                   .Add("apriori_sigma_pessimistic", JsonBool(result.apriori_sigma_pessimistic))
                   .Add("third_order_met", JsonBool(result.third_order_met))
                   .Add("control_flagged", std::to_string(result.control_flagged))
                   .Add("datum", JsonString(DatumName(request.datum)))
                   .Add("variance_components", JsonBool(request.variance_components))
                   .Add("iterations", std::to_string(result.iterations))
                   .Text());
  document.OpenStream("points");
  return out;
}

}  // namespace quarrow
