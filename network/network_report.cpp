#include "network/network_report.h"

#include <algorithm>
#include <cstdio>

#include "engine/file_paths.h"
#include "engine/messages.h"
#include "engine/report_format.h"
#include "engine/version.h"

namespace quarrow {

namespace m = messages;

namespace {

// Right-justified text in `width`.
std::string RightText(std::string_view text, std::size_t width) {
  return text.size() >= width ? std::string(text)
                              : std::string(width - text.size(), ' ') + std::string(text);
}

// A loop's runs by their numbers in the runs table, "-" before a run the
// loop goes along backwards.
std::string LoopRunsText(const NetworkLoop& loop) {
  std::string text;
  for (const LoopStep& step : loop.steps) {
    if (!text.empty()) text += " ";
    if (!step.forward) text += "-";
    text += std::to_string(step.run + 1);
  }
  return text;
}

class ReportBuilder {
 public:
  explicit ReportBuilder(std::string separator) : separator_(std::move(separator)) {}
  void Line(std::string_view text) {
    text_ += text;
    text_ += "\r\n";
  }
  // Numbers as the run report writes them: "0.000", right-justified.
  std::string Number(double value, int width) const {
    return FormatReading(value, width, separator_);
  }
  std::string Signed(double value, int width) const {
    return FormatReading(value, -width, separator_);
  }
  std::string Fixed(double value) const { return FormatFixed3(value, separator_); }
  // A standardized residual: signed, two decimals, in seven columns.
  std::string Standardized(double value) const {
    char text[64];
    std::snprintf(text, sizeof text, "%+7.2f", value);
    std::string out(text);
    const std::size_t point = out.find('.');
    if (point != std::string::npos) out.replace(point, 1, separator_);
    return out;
  }
  std::string& text() { return text_; }

 private:
  std::string separator_;
  std::string text_;
};

}  // namespace

std::string_view StatusName(MarkStatus status) {
  switch (status) {
    case MarkStatus::kFixed:
      return "fixed";
    case MarkStatus::kWeighted:
      return "weighted";
    case MarkStatus::kAdjusted:
      return "adjusted";
  }
  return "adjusted";
}

std::string NetworkReportText(Platform& platform, const NetworkRequest& request,
                              const Network& network, const NetworkResult& result,
                              const std::string& report_path) {
  ReportBuilder report(platform.DecimalSeparator());
  const NetworkSolution& solution = result.solution;
  const std::string title = "Quarrow Level Network Report (Version " +
                            std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) +
                            "." + std::to_string(kVersionRevision) + ") " +
                            std::string(UnitsLabel(network.units));
  report.Line(PadText(title, 70) + FormatReportDate(platform.Today(), platform.DateSeparator()));
  report.Line("");
  report.Line("Marks File:");
  report.Line("  " + request.marks_file);
  report.Line("");
  report.Line("Level Files:");
  for (std::size_t r = 0; r < network.runs.size(); ++r) {
    report.Line(RightText(std::to_string(r + 1), 5) + "  " + network.runs[r].file);
  }
  report.Line("");
  report.Line("Output Network File:");
  report.Line("  " + report_path);
  report.Line("");
  for (const std::string& name : network.untouched_marks) {
    report.Line("** Warning: the listed mark " + name + " is on no run.");
  }
  if (!network.untouched_marks.empty()) report.Line("");

  // Names are never cut: a column is as wide as its longest name, and at
  // least as wide as its heading's rule.
  std::size_t mark_width = 12;
  for (const std::string& name : network.mark_names) mark_width = std::max(mark_width, name.size());
  std::size_t file_width = 18;
  for (const RunRecord& run : network.runs) {
    file_width = std::max(file_width, FileName(run.file).size());
  }
  report.Line(PadText("MARK NAME", mark_width) +
              "   STATUS      PUBLISHED   ADJUSTED   CORRECTION   STD DEV");
  report.Line(std::string(mark_width, '-') +
              "   --------    ---------   --------   ----------   -------");
  for (std::size_t i = 0; i < network.marks.size(); ++i) {
    const NetworkMark& mark = network.marks[i];
    std::string line = PadText(network.mark_names[i], mark_width) + "   " +
                       PadText(StatusName(mark.status), 8) + "   ";
    const bool listed = mark.status != MarkStatus::kAdjusted;
    line += listed ? report.Number(mark.published, 10) : std::string(10, ' ');
    line += " " + report.Number(solution.elevation[i], 10);
    line += "   " + (listed ? report.Signed(solution.elevation[i] - mark.published, 10)
                            : std::string(10, ' '));
    line += "   " + report.Number(solution.std_dev[i], 7);
    if (!result.mark_checked[i]) line += "   not checked";
    report.Line(line);
  }
  report.Line("");

  report.Line("RUN   " + PadText("FILE", file_width) + "   " + PadText("FROM", mark_width) + "   " +
              PadText("TO", mark_width) +
              "     LENGTH  SETUPS    OBSERVED   RESIDUAL   STD RES      THIRD ORDER");
  report.Line("---   " + std::string(file_width, '-') + "   " + std::string(mark_width, '-') +
              "   " + std::string(mark_width, '-') +
              "   --------  ------    --------   --------   -------      -----------");
  for (std::size_t r = 0; r < network.runs.size(); ++r) {
    const RunRecord& run = network.runs[r];
    const RunResult& adjusted = result.runs[r];
    // The file's own name: its folder is in the list of level files above.
    const std::string name = FileName(run.file);
    std::string line = RightText(std::to_string(r + 1), 3) + "   " + PadText(name, file_width) +
                       "   " + PadText(run.from_name, mark_width) + "   " +
                       PadText(run.to_name, mark_width) + "  ";
    line += report.Number(run.length, 9);
    line += RightText(std::to_string(run.setups), 8);
    line += "  " + report.Signed(run.difference, 10);
    line += "  " + report.Signed(adjusted.residual, 9);
    if (adjusted.standardized) {
      line += "   " + report.Standardized(*adjusted.standardized);
      line += adjusted.flagged ? " **" : "   ";
    } else {
      line += "         -   ";
    }
    if (!adjusted.meets_third_order) {
      line += "   not checked";
    } else {
      line += *adjusted.meets_third_order ? "   meets" : "   ** fails";
    }
    report.Line(line);
  }
  report.Line("");

  report.Line("LOOP     LENGTH   MISCLOSURE   ALLOWED   THIRD ORDER  RUNS");
  report.Line("----   --------   ----------   -------   -----------  ----");
  for (std::size_t l = 0; l < result.loops.size(); ++l) {
    const LoopResult& loop = result.loops[l];
    std::string line = RightText(std::to_string(l + 1), 4) + " " + report.Number(loop.length, 10);
    line += "   " + report.Signed(loop.loop.misclosure, 10);
    line += "  " + report.Number(loop.allowed, 8);
    line += loop.meets ? "   meets        " : "   ** fails     ";
    line += LoopRunsText(loop.loop);
    if (loop.loop.first_fixed >= 0) {
      line += " (from " + network.mark_names[static_cast<std::size_t>(loop.loop.first_fixed)] +
              " to " + network.mark_names[static_cast<std::size_t>(loop.loop.last_fixed)] + ")";
    }
    report.Line(line);
  }
  if (result.loops.empty()) report.Line("No loops: no run is checked by another.");
  report.Line("");

  const std::string fill = std::string(79, ' ') + "|";
  const std::string border = "+" + std::string(78, '-') + "+";
  const auto framed = [&](const std::string& text) { report.Line(FrameSummaryLine(text, fill)); };
  const auto count = [](std::int64_t n, std::string_view one, std::string_view many) {
    return std::to_string(n) + " " + std::string(n == 1 ? one : many);
  };
  std::int64_t weighted = 0;
  for (const NetworkMark& mark : network.marks) weighted += mark.status == MarkStatus::kWeighted;
  report.Line(border);
  framed(result.all_meet ? "| This level network MEETS third order specifications."
                         : "| ** This level network DOES NOT MEET third order specifications.");
  framed("| Redundancy " + std::to_string(solution.redundancy) + ": " +
         count(static_cast<std::int64_t>(network.runs.size()), "run", "runs") + ", " +
         count(weighted, "weighted mark", "weighted marks") + ".");
  framed("| The a-priori standard error is " + report.Fixed(result.sigma_millimetres) +
         "mm per root km.");
  if (result.sigma_aposteriori) {
    framed("| The standard error of unit weight is " + report.Fixed(*result.sigma_aposteriori) +
           "mm per root km.");
    framed(std::string(result.global_test_passed ? "| " : "| ** ") +
           "Global test at 95%: " + report.Fixed(result.test_lower) +
           " <= " + report.Fixed(result.test_statistic) + " <= " + report.Fixed(result.test_upper) +
           (result.global_test_passed ? " passed." : " FAILED."));
  } else {
    framed("| No redundancy: no standard error of unit weight, no global test.");
  }
  const auto checked = static_cast<std::int64_t>(network.runs.size()) - result.runs_unchecked;
  const bool all_checked = result.runs_unchecked == 0;
  framed(std::string(result.runs_meeting == checked ? "| " : "| ** ") +
         std::to_string(result.runs_meeting) + " of " +
         count(checked, all_checked ? "run meets" : "checked run meets",
               all_checked ? "runs meet" : "checked runs meet") +
         " third order between the adjusted marks.");
  if (!all_checked || result.marks_unchecked > 0) {
    std::string unchecked;
    if (!all_checked) unchecked = count(result.runs_unchecked, "run", "runs");
    if (result.marks_unchecked > 0) {
      unchecked +=
          (unchecked.empty() ? "" : " and ") + count(result.marks_unchecked, "mark", "marks");
    }
    framed("| ** " + unchecked +
           (result.runs_unchecked + result.marks_unchecked == 1 ? " is" : " are") +
           " not checked: nothing else measures them.");
  }
  const auto loops = static_cast<std::int64_t>(result.loops.size());
  framed(std::string(result.loops_meeting == loops ? "| " : "| ** ") +
         std::to_string(result.loops_meeting) + " of " + count(loops, "loop meets", "loops meet") +
         " third order.");
  if (result.flagged_runs > 0) {
    framed("| ** " + count(result.flagged_runs, "run has", "runs have") +
           " a standardized residual beyond 3.29: a likely blunder.");
  } else {
    framed("| No standardized residual is beyond 3.29.");
  }
  if (request.refraction) {
    framed(std::string(m::kCurvatureApplied) + report.Fixed(*request.refraction) + ".");
  }
  framed("| Mark standard deviations are in " +
         std::string(network.units == Units::kFeet ? "feet." : "metres."));
  report.Line(border);
  return std::move(report.text());
}

}  // namespace quarrow
