#include "network/network_outputs.h"

#include <cmath>
#include <cstdio>

#include "engine/adjust_level_run.h"
#include "engine/error_box.h"
#include "engine/messages.h"
#include "engine/report_format.h"
#include "engine/run_state.h"
#include "engine/version.h"
#include "exports/csv_export.h"
#include "exports/json_export.h"
#include "exports/name_encoding.h"
#include "network/quiet_platform.h"

namespace quarrow {

namespace m = messages;

namespace {

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

std::string Boolean(bool value) { return value ? "true" : "false"; }

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

// Tells the CSV and JSON exports every point of every run, run by run.
class PointExports : public RunListener {
 public:
  PointExports(Platform& platform) : platform_(platform) {}
  bool Add(const std::string& path, bool json) {
    std::string error;
    std::unique_ptr<ReportSink> sink = platform_.CreateReport(path, error);
    if (!sink) {
      ShowError(platform_, {m::kUnableToWriteOutput, path, error});
      return false;
    }
    outputs_.push_back({path, std::move(sink), json, "", true});
    return true;
  }
  bool empty() const { return outputs_.empty(); }
  void StartRun(const std::string& file, NameEncoding encoding) {
    run_csv_ = CsvField(file);
    run_json_ = JsonText(file);
    encoding_ = encoding;
  }
  // Text before the points (JSON: everything but the points) and after.
  void Prologue(const std::string& csv, const std::string& json) {
    for (Output& output : outputs_) output.buffer += output.json ? json : csv;
  }
  void Epilogue() {
    for (Output& output : outputs_) {
      if (output.json) output.buffer += "\n  ]\n}\n";
      Flush(output, true);
    }
  }

  void Begin(std::int64_t) override {}
  void Setup(const SetupSights&) override {}
  bool Finish() override { return true; }
  void Point(const RunPoint& point) override {
    line_.clear();
    for (Output& output : outputs_) {
      if (output.json) {
        output.buffer += output.first_point ? "\n    {\"run\": " : ",\n    {\"run\": ";
        output.first_point = false;
        output.buffer += run_json_;
        output.buffer += ", ";
        AppendJsonPointKeys(output.buffer, point, encoding_);
        output.buffer += '}';
      } else {
        if (line_.empty()) {
          line_ = run_csv_;
          line_ += ',';
          AppendCsvPoint(line_, point, encoding_);
          line_ += "\r\n";
        }
        output.buffer += line_;
      }
      Flush(output, false);
    }
  }

  // Moves every export into place; the first failure is shown.
  bool Commit() {
    for (Output& output : outputs_) {
      if (output.failed || !output.sink->Commit()) {
        ShowError(platform_, {m::kUnableToWriteOutput, output.path, output.sink->ErrorText()});
        return false;
      }
    }
    return true;
  }
  bool Failed() const {
    for (const Output& output : outputs_) {
      if (output.failed) return true;
    }
    return false;
  }

 private:
  struct Output {
    std::string path;
    std::unique_ptr<ReportSink> sink;
    bool json = false;
    std::string buffer;
    bool first_point = true;
    bool failed = false;
  };
  void Flush(Output& output, bool all) {
    if (!all && output.buffer.size() < (1u << 16)) return;
    if (!output.failed && !output.sink->Write(output.buffer)) output.failed = true;
    output.buffer.clear();
  }

  Platform& platform_;
  std::vector<Output> outputs_;
  std::string run_csv_;
  std::string run_json_;
  NameEncoding encoding_ = NameEncoding::kWindows1252;
  std::string line_;
};

std::string JsonPrologue(const Network& network, const NetworkResult& result) {
  const NetworkSolution& solution = result.solution;
  std::string out = "{\n  \"units\": ";
  out += network.feet ? "\"feet\"" : "\"metric\"";
  out += ",\n  \"marks\": [";
  for (std::size_t i = 0; i < network.marks.size(); ++i) {
    const NetworkMark& mark = network.marks[i];
    out += i == 0 ? "\n    " : ",\n    ";
    out += "{\"name\": " + JsonText(network.mark_names[i]);
    out += ", \"status\": \"" + std::string(StatusName(mark.status)) + "\"";
    out +=
        ", \"published_elevation\": " +
        (mark.status == MarkStatus::kAdjusted ? std::string("null") : JsonNumber(mark.published));
    out += ", \"adjusted_elevation\": " + JsonNumber(solution.elevation[i]);
    out += ", \"std_dev\": " + JsonNumber(solution.std_dev[i]) + "}";
  }
  out += "\n  ],\n  \"untouched_marks\": [";
  for (std::size_t i = 0; i < network.untouched_marks.size(); ++i) {
    out += (i == 0 ? "" : ", ") + JsonText(network.untouched_marks[i]);
  }
  out += "],\n  \"runs\": [";
  for (std::size_t r = 0; r < network.runs.size(); ++r) {
    const RunRecord& run = network.runs[r];
    const RunResult& adjusted = result.runs[r];
    out += r == 0 ? "\n    " : ",\n    ";
    out += "{\"file\": " + JsonText(run.file);
    out += ", \"from\": " + JsonText(run.from_name);
    out += ", \"to\": " + JsonText(run.to_name);
    out += ", \"length\": " + JsonNumber(run.length);
    out += ", \"setups\": " + std::to_string(run.setups);
    out += ", \"observed_difference\": " + JsonNumber(run.difference);
    out += ", \"residual\": " + JsonNumber(adjusted.residual);
    out += ", \"standardized_residual\": " +
           (adjusted.standardized ? JsonNumber(*adjusted.standardized) : std::string("null"));
    out += ", \"flagged\": " + Boolean(adjusted.flagged);
    out += ", \"allowed_misclosure\": " + JsonNumber(adjusted.allowed);
    out += ", \"meets_third_order\": " + Boolean(adjusted.meets_third_order) + "}";
  }
  out += "\n  ],\n  \"loops\": [";
  for (std::size_t l = 0; l < result.loops.size(); ++l) {
    const LoopResult& loop = result.loops[l];
    out += l == 0 ? "\n    " : ",\n    ";
    out += "{\"runs\": [";
    for (std::size_t s = 0; s < loop.loop.steps.size(); ++s) {
      const LoopStep& step = loop.loop.steps[s];
      out += (s == 0 ? "" : ", ") + JsonText(network.runs[static_cast<std::size_t>(step.run)].file);
    }
    out += "], \"reversed\": [";
    for (std::size_t s = 0; s < loop.loop.steps.size(); ++s) {
      out += (s == 0 ? "" : ", ") + Boolean(!loop.loop.steps[s].forward);
    }
    out += "], \"between_fixed\": ";
    if (loop.loop.first_fixed >= 0) {
      out += "[" + JsonText(network.mark_names[static_cast<std::size_t>(loop.loop.first_fixed)]) +
             ", " + JsonText(network.mark_names[static_cast<std::size_t>(loop.loop.last_fixed)]) +
             "]";
    } else {
      out += "null";
    }
    out += ", \"length\": " + JsonNumber(loop.length);
    out += ", \"misclosure\": " + JsonNumber(loop.loop.misclosure);
    out += ", \"allowed_misclosure\": " + JsonNumber(loop.allowed);
    out += ", \"meets\": " + Boolean(loop.meets) + "}";
  }
  out += "\n  ],\n  \"statistics\": {";
  out += "\"redundancy\": " + std::to_string(solution.redundancy);
  out += ", \"sigma_apriori\": " + JsonNumber(result.sigma_millimetres);
  out += ", \"sigma_aposteriori\": " +
         (result.sigma_aposteriori ? JsonNumber(*result.sigma_aposteriori) : std::string("null"));
  out += ", \"test_statistic\": " + JsonNumber(result.test_statistic);
  out += ", \"chi_square_lower\": " +
         (solution.redundancy > 0 ? JsonNumber(result.test_lower) : std::string("null"));
  out += ", \"chi_square_upper\": " +
         (solution.redundancy > 0 ? JsonNumber(result.test_upper) : std::string("null"));
  out += ", \"global_test_passed\": " + Boolean(result.global_test_passed);
  out += ", \"all_meet\": " + Boolean(result.all_meet) + "},\n  \"points\": [";
  return out;
}

}  // namespace

std::string NetworkReportText(Platform& platform, const NetworkRequest& request,
                              const Network& network, const NetworkResult& result,
                              const std::string& report_path) {
  ReportBuilder report(platform.DecimalSeparator());
  const NetworkSolution& solution = result.solution;
  const std::string unit = network.feet ? "'" : "m";
  const std::string title = "Quarrow Level Network Report (Version " +
                            std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) +
                            "." + std::to_string(kVersionRevision) + ") " +
                            std::string(network.feet ? m::kEnglishUnits : m::kMetricUnits);
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

  report.Line("MARK NAME      STATUS      PUBLISHED   ADJUSTED   CORRECTION   STD DEV");
  report.Line("------------   --------    ---------   --------   ----------   -------");
  for (std::size_t i = 0; i < network.marks.size(); ++i) {
    const NetworkMark& mark = network.marks[i];
    std::string line =
        PadText(network.mark_names[i], 12) + "   " + PadText(StatusName(mark.status), 8) + "   ";
    const bool listed = mark.status != MarkStatus::kAdjusted;
    line += listed ? report.Number(mark.published, 10) : std::string(10, ' ');
    line += " " + report.Number(solution.elevation[i], 10);
    line += "   " + (listed ? report.Signed(solution.elevation[i] - mark.published, 10)
                            : std::string(10, ' '));
    line += "   " + report.Number(solution.std_dev[i], 7);
    report.Line(line);
  }
  report.Line("");

  report.Line(
      "RUN   FILE                 FROM           TO               LENGTH  SETUPS    OBSERVED   "
      "RESIDUAL   STD RES      "
      "THIRD ORDER");
  report.Line(
      "---   ------------------   ------------   ------------   --------  ------    --------   "
      "--------   -------      "
      "-----------");
  for (std::size_t r = 0; r < network.runs.size(); ++r) {
    const RunRecord& run = network.runs[r];
    const RunResult& adjusted = result.runs[r];
    // The file's own name: its folder is in the list of level files above.
    const std::size_t slash = run.file.find_last_of('/');
    const std::string name = slash == std::string::npos ? run.file : run.file.substr(slash + 1);
    std::string line = RightText(std::to_string(r + 1), 3) + "   " + PadText(name, 18) + "   " +
                       PadText(run.from_name, 12) + "   " + PadText(run.to_name, 12) + "  ";
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
    line += adjusted.meets_third_order ? "   meets" : "   ** fails";
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
  const auto runs = static_cast<std::int64_t>(network.runs.size());
  framed(std::string(result.runs_meeting == runs ? "| " : "| ** ") +
         std::to_string(result.runs_meeting) + " of " + count(runs, "run meets", "runs meet") +
         " third order between the adjusted marks.");
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
  framed("| Mark standard deviations are in " + std::string(network.feet ? "feet." : "metres."));
  report.Line(border);
  return std::move(report.text());
}

bool WriteNetworkOutputs(Platform& platform, const NetworkRequest& request, const Network& network,
                         const NetworkResult& result, const NetworkOutputFiles& files) {
  std::string error;
  std::unique_ptr<ReportSink> report = platform.CreateReport(files.report, error);
  if (!report) {
    ShowError(platform, {m::kUnableToWriteReport, files.report, error});
    return false;
  }
  if (!report->Write(NetworkReportText(platform, request, network, result, files.report))) {
    ShowError(platform, {m::kUnableToWriteReport, files.report, report->ErrorText()});
    return false;
  }

  PointExports exports(platform);
  for (const std::string& path : files.csv_exports) {
    if (!exports.Add(path, false)) return false;
  }
  for (const std::string& path : files.json_exports) {
    if (!exports.Add(path, true)) return false;
  }
  exports.Prologue("run," + std::string(kCsvHeader) + "\r\n", JsonPrologue(network, result));

  QuietPlatform quiet(
      platform,
      {.accept_failed_tests = true, .discard_reports = !files.run_reports, .hold_commits = true});
  if (files.run_reports || !exports.empty()) {
    for (std::size_t r = 0; r < network.runs.size(); ++r) {
      const RunRecord& run = network.runs[r];
      RunState rs;
      InitialiseFrames(rs);
      rs.InputPath = run.file;
      rs.ReportPath = run.report_path;
      rs.DegreeMark = run.degree_mark;
      rs.BeginElev = result.solution.elevation[static_cast<std::size_t>(run.from)];
      rs.EndElev = result.solution.elevation[static_cast<std::size_t>(run.to)];
      rs.UnitsLabel = network.feet ? m::kEnglishUnits : m::kMetricUnits;
      rs.UnitMark = network.feet ? '\'' : 'm';
      rs.CurvatureApplied = request.refraction.has_value();
      rs.RefractionK = request.refraction.value_or(0);
      exports.StartRun(run.file, exports.empty()
                                     ? NameEncoding::kWindows1252
                                     : DetectNameEncoding(platform, run.file, run.degree_mark));
      const AdjustOutcome outcome = AdjustLevelRun(rs, quiet, exports.empty() ? nullptr : &exports);
      if (outcome == AdjustOutcome::kFailed || outcome == AdjustOutcome::kCancelled) return false;
    }
  }
  exports.Epilogue();
  if (exports.Failed()) return exports.Commit();  // shows the failure; nothing moves

  // All complete: move them into place, the run reports first, the
  // network report last.
  if (!quiet.CommitHeld()) return false;
  if (!exports.Commit()) return false;
  if (!report->Commit()) {
    ShowError(platform, {m::kUnableToWriteReport, files.report, report->ErrorText()});
    return false;
  }
  return true;
}

}  // namespace quarrow
