#include "network/network_summary.h"

#include "engine/messages.h"
#include "engine/report_format.h"

namespace quarrow {

namespace {

std::string Count(std::int64_t n, std::string_view one, std::string_view many) {
  return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

}  // namespace

std::vector<std::string> NetworkSummary(const std::string& separator, const NetworkRequest& request,
                                        const Network& network, const NetworkResult& result) {
  std::vector<std::string> lines;
  const auto fixed = [&separator](double value) { return FormatFixed3(value, separator); };
  const NetworkSolution& solution = result.solution;
  const bool more = request.AsksForMore();
  std::int64_t weighted = 0;
  for (const NetworkMark& mark : result.marks) weighted += mark.status == MarkStatus::kWeighted;

  lines.push_back(result.all_meet
                      ? "| This level network MEETS third order specifications."
                      : "| ** This level network DOES NOT MEET third order specifications.");
  const auto observations = static_cast<std::int64_t>(network.runs.size());
  std::string redundancy = "| Redundancy " + std::to_string(solution.redundancy) + ": ";
  if (result.lines > 0) {
    redundancy += Count(observations - result.lines, "run", "runs") + ", " +
                  Count(result.lines, "levelled line", "levelled lines") + ", ";
  } else {
    redundancy += Count(observations, "run", "runs") + ", ";
  }
  lines.push_back(redundancy + Count(weighted, "weighted mark", "weighted marks") + ".");
  if (request.datum == NetworkDatum::kFree) {
    lines.push_back("| A free network: the minimum-norm datum over its datum marks.");
  } else if (request.datum == NetworkDatum::kMinimal) {
    lines.push_back("| Minimally constrained: one fixed mark held in each part.");
  }
  // One precision for all: the trig runs' sigma says it. Several groups:
  // the groups table does, and the unit weight is a plain factor.
  const bool one_precision = network.groups.size() == 1 && network.groups[0] == kTrigGroup;
  if (one_precision) {
    lines.push_back("| The a-priori standard error is " + fixed(result.sigma_millimetres) +
                    "mm per root km.");
  } else {
    lines.push_back("| The a-priori standard errors are those of the groups table.");
  }
  if (request.variance_components) {
    lines.push_back("| Variance components estimated in " +
                    Count(result.iterations, "iteration.", "iterations."));
  }
  if (result.sigma_aposteriori && one_precision) {
    lines.push_back("| The standard error of unit weight is " + fixed(*result.sigma_aposteriori) +
                    "mm per root km.");
  } else if (result.sigma_aposteriori) {
    lines.push_back("| The standard error of unit weight is " +
                    fixed(*result.sigma_aposteriori / result.sigma_millimetres) + " (a-priori 1).");
  }
  if (result.sigma_aposteriori) {
    if (result.apriori_sigma_pessimistic) {
      lines.push_back("| Global test at 95%: " + fixed(result.test_statistic) + " < " +
                      fixed(result.test_lower) + ": the a-priori sigma is pessimistic.");
    } else {
      lines.push_back(std::string(result.global_test_passed ? "| " : "| ** ") +
                      "Global test at 95%: " + fixed(result.test_lower) +
                      " <= " + fixed(result.test_statistic) + " <= " + fixed(result.test_upper) +
                      (result.global_test_passed ? " passed." : " FAILED."));
    }
  } else {
    lines.push_back("| No redundancy: no standard error of unit weight, no global test.");
  }
  const auto trig = observations - result.lines;
  const auto checked = trig - result.runs_unchecked;
  const bool all_checked = result.runs_unchecked == 0;
  if (trig > 0) {
    lines.push_back(std::string(result.runs_meeting == checked ? "| " : "| ** ") +
                    std::to_string(result.runs_meeting) + " of " +
                    Count(checked, all_checked ? "run meets" : "checked run meets",
                          all_checked ? "runs meet" : "checked runs meet") +
                    " third order between the adjusted marks.");
  }
  if (!all_checked || result.marks_unchecked > 0) {
    std::string unchecked;
    if (!all_checked) unchecked = Count(result.runs_unchecked, "run", "runs");
    if (result.marks_unchecked > 0) {
      unchecked +=
          (unchecked.empty() ? "" : " and ") + Count(result.marks_unchecked, "mark", "marks");
    }
    lines.push_back("| ** " + unchecked +
                    (result.runs_unchecked + result.marks_unchecked == 1 ? " is" : " are") +
                    " not checked: nothing else measures them.");
  }
  const auto loops = static_cast<std::int64_t>(result.loops.size());
  lines.push_back(std::string(result.loops_meeting == loops ? "| " : "| ** ") +
                  std::to_string(result.loops_meeting) + " of " +
                  Count(loops, "loop meets", "loops meet") + " third order.");
  if (result.flagged_runs > 0) {
    const bool runs_only = result.lines == 0;
    lines.push_back("| ** " +
                    Count(result.flagged_runs, runs_only ? "run has" : "observation has",
                          runs_only ? "runs have" : "observations have") +
                    " a standardized residual beyond 3.29: a likely blunder.");
  } else {
    lines.push_back("| No standardized residual is beyond 3.29.");
  }
  if (result.control_flagged > 0) {
    lines.push_back("| ** " +
                    Count(result.control_flagged, "fixed mark fails", "fixed marks fail") +
                    " the control check: a published elevation is doubtful.");
  } else if (more && !result.control.empty()) {
    lines.push_back("| The fixed marks agree with each other (the control check).");
  }
  if (request.refraction) {
    lines.push_back(std::string(messages::kCurvatureApplied) + fixed(*request.refraction) + ".");
  }
  lines.push_back("| Mark standard deviations are in " +
                  std::string(network.units == Units::kFeet ? "feet." : "metres."));
  return lines;
}

}  // namespace quarrow
