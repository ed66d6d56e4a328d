#include "network/network_json.h"

#include "exports/json_writer.h"
#include "network/network_report.h"

namespace quarrow {

namespace {

std::string OrNull(bool present, double value) {
  return present ? JsonNumber(value) : std::string("null");
}

std::vector<std::string> MarkLines(const Network& network, const NetworkSolution& solution) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < network.marks.size(); ++i) {
    const NetworkMark& mark = network.marks[i];
    lines.push_back(JsonLine()
                        .Add("name", JsonText(network.mark_names[i]))
                        .Add("status", JsonString(StatusName(mark.status)))
                        .Add("published_elevation",
                             OrNull(mark.status != MarkStatus::kAdjusted, mark.published))
                        .Add("adjusted_elevation", JsonNumber(solution.elevation[i]))
                        .Add("std_dev", JsonNumber(solution.std_dev[i]))
                        .Text());
  }
  return lines;
}

std::vector<std::string> RunLines(const Network& network, const NetworkResult& result) {
  std::vector<std::string> lines;
  for (std::size_t r = 0; r < network.runs.size(); ++r) {
    const RunRecord& run = network.runs[r];
    const RunResult& adjusted = result.runs[r];
    lines.push_back(JsonLine()
                        .Add("file", JsonText(run.file))
                        .Add("from", JsonText(run.from_name))
                        .Add("to", JsonText(run.to_name))
                        .Add("length", JsonNumber(run.length))
                        .Add("setups", std::to_string(run.setups))
                        .Add("observed_difference", JsonNumber(run.difference))
                        .Add("residual", JsonNumber(adjusted.residual))
                        .Add("standardized_residual", OrNull(adjusted.standardized.has_value(),
                                                             adjusted.standardized.value_or(0)))
                        .Add("flagged", JsonBool(adjusted.flagged))
                        .Add("allowed_misclosure", JsonNumber(adjusted.allowed))
                        .Add("meets_third_order", adjusted.meets_third_order
                                                      ? JsonBool(*adjusted.meets_third_order)
                                                      : std::string("null"))
                        .Text());
  }
  return lines;
}

std::vector<std::string> LoopLines(const Network& network, const NetworkResult& result) {
  std::vector<std::string> lines;
  for (const LoopResult& loop : result.loops) {
    std::vector<std::string> files;
    std::vector<std::string> reversed;
    for (const LoopStep& step : loop.loop.steps) {
      files.push_back(JsonText(network.runs[static_cast<std::size_t>(step.run)].file));
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

std::string NetworkJsonPrologue(const Network& network, const NetworkResult& result) {
  const NetworkSolution& solution = result.solution;
  std::string out;
  JsonDocument document(out);
  document.Key("units", JsonString(UnitsName(network.units)));
  document.Lines("marks", MarkLines(network, solution));
  std::vector<std::string> untouched;
  for (const std::string& name : network.untouched_marks) untouched.push_back(JsonText(name));
  document.Key("untouched_marks", JsonList(untouched));
  document.Lines("runs", RunLines(network, result));
  document.Lines("loops", LoopLines(network, result));
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
                   .Text());
  document.OpenStream("points");
  return out;
}

}  // namespace quarrow
