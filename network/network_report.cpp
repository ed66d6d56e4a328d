#include "network/network_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/file_paths.h"
#include "engine/messages.h"
#include "engine/report_format.h"
#include "engine/version.h"
#include "network/network_summary.h"
#include "network/report_table.h"

namespace quarrow {

namespace m = messages;

namespace {

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

// Numbers as the report writes them: elevations and residuals with the
// decimals asked for (three by default, as the run report writes them, and
// then cut to their column as it cuts them), the rest with three.
class Numbers {
 public:
  Numbers(std::string separator, int decimals)
      : separator_(std::move(separator)), decimals_(decimals) {}
  int widen() const { return decimals_ - 3; }
  std::string Elevation(double value, int width) const {
    if (decimals_ == 3) return FormatReading(value, width, separator_);
    return DecimalText(value, decimals_, separator_);
  }
  std::string SignedElevation(double value, int width) const {
    if (decimals_ == 3) return FormatReading(value, -width, separator_);
    return DecimalText(value, decimals_, separator_, true);
  }
  std::string Plain(double value, int width) const {
    return FormatReading(value, width, separator_);
  }
  std::string Fixed(double value) const { return FormatFixed3(value, separator_); }
  // A standardized residual: signed, two decimals.
  std::string Standardized(double value) const {
    char text[64];
    std::snprintf(text, sizeof text, "%+7.2f", value);
    std::string out(text);
    const std::size_t point = out.find('.');
    if (point != std::string::npos) out.replace(point, 1, separator_);
    return out;
  }
  std::string Share(double value) const { return DecimalText(value, 2, separator_); }

 private:
  std::string separator_;
  int decimals_;
};

std::size_t Wider(std::size_t width, int by) {
  return static_cast<std::size_t>(std::max<int>(1, static_cast<int>(width) + by));
}

std::string MarksTable(const NetworkRequest& request, const Network& network,
                       const NetworkResult& result, const Numbers& numbers,
                       std::size_t mark_width) {
  const int dx = numbers.widen();
  const bool more = request.AsksForMore() && !result.std_dev_aposteriori.empty();
  std::vector<ReportColumn> columns = {
      {"MARK NAME", mark_width, false, kFullRule, 0}, {"STATUS", 8, false},
      {"PUBLISHED", Wider(10, dx), true, 9},          {"ADJUSTED", Wider(10, dx), true, 8, 1},
      {"CORRECTION", Wider(10, dx), true, 10},        {"STD DEV", Wider(7, dx), true, 7}};
  if (more) columns.push_back({"A-POST SD", Wider(9, dx), true, 9});
  ReportTable table(columns);
  const NetworkSolution& solution = result.solution;
  for (std::size_t i = 0; i < network.marks.size(); ++i) {
    const NetworkMark& mark = network.marks[i];
    const bool listed = mark.status != MarkStatus::kAdjusted;
    const bool datum = !result.datum_marks.empty() && result.datum_marks[i];
    std::vector<std::string> row = {
        network.mark_names[i],
        std::string(datum ? "datum" : StatusName(result.marks[i].status)),
        listed ? numbers.Elevation(mark.published, 10 + dx) : "",
        numbers.Elevation(solution.elevation[i], 10 + dx),
        listed ? numbers.SignedElevation(solution.elevation[i] - mark.published, 10 + dx) : "",
        RightText(numbers.Elevation(solution.std_dev[i], 7 + dx), Wider(7, dx))};
    if (more)
      row.push_back(
          RightText(numbers.Elevation(result.std_dev_aposteriori[i], 9 + dx), Wider(9, dx)));
    if (!result.mark_checked[i]) row.back() += "   not checked";
    table.Row(row);
  }
  return table.Text();
}

std::string ControlTable(const Network& network, const NetworkResult& result,
                         const Numbers& numbers, std::size_t mark_width) {
  const int dx = numbers.widen();
  ReportTable table({{"CONTROL MARK", mark_width, false, kFullRule, 0},
                     {"HELD", mark_width, false},
                     {"PUBLISHED", Wider(10, dx), true, 9},
                     {"ADJUSTED", Wider(10, dx), true, 8, 1},
                     {"DIFFERENCE", Wider(10, dx), true, 10},
                     {"STD DEV", Wider(7, dx), true, 7},
                     {"STD RES", 7, true, 7},
                     {"", 3, false, 0, 0}});
  for (const ControlCheck& check : result.control) {
    const auto mark = static_cast<std::size_t>(check.mark);
    const double published = network.marks[mark].published;
    table.Row({network.mark_names[mark], network.mark_names[static_cast<std::size_t>(check.held)],
               numbers.Elevation(published, 10 + dx),
               numbers.Elevation(published - check.difference, 10 + dx),
               numbers.SignedElevation(check.difference, 10 + dx),
               numbers.Elevation(check.std_dev, 7 + dx), numbers.Standardized(check.standardized),
               check.flagged ? " **" : ""});
  }
  return table.Text();
}

std::string RunsTable(const Network& network, const NetworkResult& result, const Numbers& numbers,
                      std::size_t file_width, std::size_t mark_width) {
  const int dx = numbers.widen();
  ReportTable table({{"RUN", 3, true, 3, 0},
                     {"FILE", file_width, false},
                     {"FROM", mark_width, false},
                     {"TO", mark_width, false},
                     {"LENGTH", 9, true, 8, 2},
                     {"SETUPS", 8, true, 6, 0},
                     {"OBSERVED", Wider(10, dx), true, 8, 2},
                     {"RESIDUAL", Wider(9, dx), true, 8, 2},
                     {"STD RES", 7, true, 7},
                     {"", 3, false, 0, 0},
                     {"THIRD ORDER", 11, false}});
  for (std::size_t r = 0; r < network.runs.size(); ++r) {
    const RunRecord& run = network.runs[r];
    const RunResult& adjusted = result.runs[r];
    // The file's own name: its folder is in the list of level files above.
    const std::string source =
        run.line > 0 ? FileName(run.file) + ":" + std::to_string(run.line) : FileName(run.file);
    std::string third = "not checked";
    if (run.kind != ObservationKind::kTrigRun) {
      third = "-";  // third order judges trig runs
    } else if (adjusted.meets_third_order) {
      third = *adjusted.meets_third_order ? "meets" : "** fails";
    }
    table.Row({std::to_string(r + 1), source, run.from_name, run.to_name,
               numbers.Plain(run.length, 9),
               run.kind == ObservationKind::kListedLine ? "-" : std::to_string(run.setups),
               numbers.SignedElevation(run.difference, 10 + dx),
               numbers.SignedElevation(adjusted.residual, 9 + dx),
               adjusted.standardized ? numbers.Standardized(*adjusted.standardized) : "-",
               adjusted.flagged ? " **" : "", third});
  }
  return table.Text();
}

std::string StatisticsTable(const Network& network, const NetworkResult& result,
                            const Numbers& numbers) {
  const int dx = numbers.widen();
  std::size_t group_width = 5;
  for (const std::string& group : network.groups) group_width = std::max(group_width, group.size());
  ReportTable table({{"RUN", 3, true, 3, 0},
                     {"GROUP", group_width, false},
                     {"STD DEV", Wider(9, dx), true, 7},
                     {"REDUNDANCY", 10, true, 10},
                     {"MDB", Wider(9, dx), true, 3},
                     {"STD RES", 7, true, 7},
                     {"TAU", 7, true, 3}});
  for (std::size_t r = 0; r < network.runs.size(); ++r) {
    const RunResult& run = result.runs[r];
    table.Row({std::to_string(r + 1), network.runs[r].group, numbers.Elevation(run.std_dev, 9 + dx),
               numbers.Share(run.redundancy_number),
               run.mdb ? numbers.Elevation(*run.mdb, 9 + dx) : "-",
               run.standardized ? numbers.Standardized(*run.standardized) : "-",
               run.tau ? numbers.Standardized(*run.tau) : "-"});
  }
  return table.Text();
}

std::string GroupsTable(const NetworkResult& result, const Numbers& numbers, bool estimated) {
  std::size_t group_width = 5;
  for (const GroupResult& group : result.groups)
    group_width = std::max(group_width, group.name.size());
  std::vector<ReportColumn> columns = {{"GROUP", group_width, false, kFullRule, 0},
                                       {"OBSERVATIONS", 12, true, 12},
                                       {"SIGMA A-PRIORI", 14, true, 14},
                                       {"REDUNDANCY", 10, true, 10}};
  if (estimated) {
    columns.push_back({"FACTOR", 8, true, 6});
    columns.push_back({"SIGMA ESTIMATED", 15, true, 15});
  }
  ReportTable table(columns);
  for (const GroupResult& group : result.groups) {
    std::vector<std::string> row = {group.name, std::to_string(group.observations),
                                    group.name == kMarksGroup || group.sigma_apriori == 0
                                        ? "their own"
                                        : numbers.Fixed(group.sigma_apriori),
                                    numbers.Share(group.redundancy)};
    if (estimated) {
      row.push_back(numbers.Fixed(group.variance_factor));
      row.push_back(group.sigma_estimated && group.name != kMarksGroup
                        ? numbers.Fixed(*group.sigma_estimated)
                        : "-");
    }
    table.Row(row);
  }
  return table.Text();
}

std::string LoopsTable(const Network& network, const NetworkResult& result,
                       const Numbers& numbers) {
  const int dx = numbers.widen();
  ReportTable table({{"LOOP", 4, true, 4, 0},
                     {"LENGTH", 10, true, 8, 1},
                     {"MISCLOSURE", Wider(10, dx), true, 10},
                     {"ALLOWED", 8, true, 7, 2},
                     {"THIRD ORDER", 11, false},
                     {"RUNS", 4, false, 4, 2}});
  for (std::size_t l = 0; l < result.loops.size(); ++l) {
    const LoopResult& loop = result.loops[l];
    std::string runs = LoopRunsText(loop.loop);
    if (loop.loop.first_fixed >= 0) {
      runs += " (from " + network.mark_names[static_cast<std::size_t>(loop.loop.first_fixed)] +
              " to " + network.mark_names[static_cast<std::size_t>(loop.loop.last_fixed)] + ")";
    }
    table.Row({std::to_string(l + 1), numbers.Plain(loop.length, 10),
               numbers.SignedElevation(loop.loop.misclosure, 10 + dx),
               numbers.Plain(loop.allowed, 8), loop.meets ? "meets" : "** fails", runs});
  }
  return table.Text();
}

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
  const Numbers numbers(platform.DecimalSeparator(), request.decimals);
  const bool more = request.AsksForMore();
  std::string text;
  const auto line = [&text](std::string_view content) {
    text += content;
    text += "\r\n";
  };
  const std::string title = "Quarrow Level Network Report (Version " +
                            std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) +
                            "." + std::to_string(kVersionRevision) + ") " +
                            std::string(UnitsLabel(network.units));
  line(PadText(title, 70) + FormatReportDate(platform.Today(), platform.DateSeparator()));
  line("");
  line("Marks File:");
  line("  " + (request.marks_file.empty() ? std::string("(none: a free network of its own marks)")
                                          : request.marks_file));
  line("");
  if (!request.run_files.empty()) {
    line("Level Files:");
    std::size_t listed = 0;
    for (const RunRecord& run : network.runs) {
      if (run.kind == ObservationKind::kListedLine) continue;
      line(RightText(std::to_string(++listed), 5) + "  " + run.Source());
    }
  }
  if (!request.lines_files.empty()) {
    if (!request.run_files.empty()) line("");
    line("Lines Files:");
    for (const std::string& file : request.lines_files) line("  " + file);
  }
  line("");
  line("Output Network File:");
  line("  " + report_path);
  line("");
  for (const std::string& name : network.untouched_marks) {
    line("** Warning: the listed mark " + name + " is on no run.");
  }
  if (!network.untouched_marks.empty()) line("");

  // Names are never cut: a column is as wide as its longest name, and at
  // least as wide as its heading's rule.
  std::size_t mark_width = 12;
  for (const std::string& name : network.mark_names) mark_width = std::max(mark_width, name.size());
  std::size_t file_width = 18;
  for (const RunRecord& run : network.runs) {
    const std::size_t width =
        FileName(run.file).size() + (run.line > 0 ? 1 + std::to_string(run.line).size() : 0);
    file_width = std::max(file_width, width);
  }
  text += MarksTable(request, network, result, numbers, mark_width);
  line("");
  if (!result.control.empty() && (more || result.control_flagged > 0)) {
    text += ControlTable(network, result, numbers, mark_width);
    line("");
  }
  text += RunsTable(network, result, numbers, file_width, mark_width);
  line("");
  if (more) {
    text += StatisticsTable(network, result, numbers);
    line("");
    text += GroupsTable(result, numbers, request.variance_components);
    line("");
  }
  text += LoopsTable(network, result, numbers);
  if (result.loops.empty()) line("No loops: no run is checked by another.");
  line("");

  const std::string fill = std::string(79, ' ') + "|";
  const std::string border = "+" + std::string(78, '-') + "+";
  line(border);
  for (const std::string& summary :
       NetworkSummary(platform.DecimalSeparator(), request, network, result)) {
    line(FrameSummaryLine(summary, fill));
  }
  line(border);
  return text;
}

}  // namespace quarrow
