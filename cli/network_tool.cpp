#include "cli/network_tool.h"

#include <QFileInfo>
#include <algorithm>

#include "cli/adjust_tool.h"
#include "cli/command_line_answers.h"
#include "cli/console_platform.h"
#include "cli/output_files.h"
#include "cli/tool_command_line.h"
#include "engine/data_fields.h"
#include "engine/file_paths.h"
#include "engine/whole_file.h"
#include "network/network_adjustment.h"
#include "network/network_outputs.h"
#include "network/network_picture.h"
#include "plot/profile_format.h"
#include "shell/prepare_adjustment.h"

namespace quarrow {

namespace {

constexpr const char* kProgram = "quarrow-network";

// --sigma S (the trig runs') or --sigma GROUP=S, given as often as there
// are groups. A number on the command line, like --refraction: "." whatever
// the locale.
bool ReadSigmas(const ToolCommandLine& command_line, const QCommandLineOption& option,
                NetworkRequest& request) {
  std::vector<std::string> given_groups;
  for (const QString& given : command_line.Values(option)) {
    const qsizetype equals = given.indexOf('=');
    const std::string group =
        equals < 0 ? std::string(kTrigGroup) : Local8(given.left(equals).trimmed());
    const std::optional<double> value =
        ReadDataNumber(QtPlatform::FromQString(equals < 0 ? given : given.mid(equals + 1)));
    if (group.empty() || !value || *value <= 0) {
      command_line.UsageError(
          "--sigma must be a positive number of millimetres, or GROUP=S, "
          "not '" +
          Local8(given) + "'.");
      return false;
    }
    if (std::find(given_groups.begin(), given_groups.end(), group) != given_groups.end()) {
      command_line.UsageError("--sigma gives the group " + group + " twice; give it once.");
      return false;
    }
    given_groups.push_back(group);
    request.sigma_millimetres[group] = *value;
  }
  return true;
}

// The files a list names, one a line (blank lines and '#' lines skipped),
// relative to the list's own folder unless absolute: files of levelled lines
// by their ".csv", field files otherwise.
bool ReadRunsFrom(Platform& platform, const ToolCommandLine& command_line, const std::string& list,
                  NetworkRequest& request, std::vector<NamedFile>& named) {
  std::string bytes;
  if (!ReadWholeFile(platform, list, bytes)) {
    command_line.UsageError("--runs-from: " + list + " cannot be read.");
    return false;
  }
  const std::string folder = ParentFolderName(list);
  ForEachDataLine(bytes, [&](int, const std::vector<std::string_view>& fields) {
    std::string path;
    for (std::size_t i = 0; i < fields.size(); ++i) {
      path += (i == 0 ? "" : ",") + std::string(fields[i]);  // a comma may be part of a name
    }
    path = std::string(TrimBlanksAndTabs(path));
    if (!QFileInfo(QtPlatform::ToQString(path)).isAbsolute() && !folder.empty()) {
      path = BuildPath(folder, path);
    }
    const bool lines = QtPlatform::ToQString(path).endsWith(".csv", Qt::CaseInsensitive);
    (lines ? request.lines_files : request.run_files).push_back(path);
    named.push_back({lines ? "--lines" : "RUN_FILE", path});
    return true;
  });
  return true;
}

// The network's picture, drawn and moved into place with the other outputs.
class DiagramSideOutput : public NetworkSideOutput {
 public:
  DiagramSideOutput(std::unique_ptr<DiagramOutput> diagram, DiagramData data)
      : diagram_(std::move(diagram)), data_(std::move(data)) {}
  const std::string& path() const override { return diagram_->path(); }
  bool Write() override { return diagram_->Write(data_); }
  bool Commit() override { return diagram_->Commit(); }
  std::string ErrorText() const override { return diagram_->ErrorText(); }

 private:
  std::unique_ptr<DiagramOutput> diagram_;
  DiagramData data_;
};

}  // namespace

int RunNetworkTool(const QStringList& arguments, Platform& platform, std::ostream& output,
                   std::ostream& errors, MakeNetworkDiagram make_diagram) {
  ToolCommandLine command_line(
      kProgram,
      "Adjusts level runs together by least squares: each field file is one run between its\n"
      "beginning and ending bench marks, joined to the others at marks of the same name and\n"
      "held to the marks of the marks file; files of levelled lines join in as observations\n"
      "of their own groups.\n\n"
      "Exit status: 0 adjusted, every run, every loop, the global test and the control meet;\n"
      "1 adjusted, something failed (written unless --strict);\n"
      "2 usage or input error, nothing written.",
      output, errors);
  const QCommandLineOption marks(
      "marks",
      "Marks file: name,elevation[,standard_deviation][,easting,northing] a line; without a "
      "standard deviation a mark is held fixed.",
      "MARKS");
  const QCommandLineOption units =
      UnitsOption("Units of the field files: feet (default) or metric.");
  const QCommandLineOption report("output", "The network report.", "REPORT");
  const QCommandLineOption exports = ExportOption(
      "Also write every run's adjusted points (.csv) or the whole adjustment (.json); "
      "may be given more than once.");
  const QCommandLineOption reports("reports",
                                   "Also write each run's report beside its field file, adjusted "
                                   "between its network marks.");
  const QCommandLineOption lines("lines",
                                 "A file of levelled height differences: "
                                 "from,to,difference,length[,standard_deviation][,group] a line; "
                                 "may be given more than once.",
                                 "FILE");
  const QCommandLineOption runs_from(
      "runs-from", "A file naming the run files (and .csv files of lines), one a line.", "LIST");
  const QCommandLineOption sigma("sigma",
                                 "A-priori standard error of one kilometre of levelling, in mm: "
                                 "S for the trig runs (2.0), or GROUP=S (level 1.0); may be "
                                 "given once a group.",
                                 "[GROUP=]S");
  const QCommandLineOption components(
      "variance-components",
      "Estimate each group's variance factor and adjust with it (Forstner's estimator, "
      "iterated to 1 %).");
  const QCommandLineOption free("free",
                                "Hold no mark: the minimum-norm datum over the listed marks "
                                "(over all marks when none is listed).");
  const QCommandLineOption constraint(
      "constraint",
      "minimal: hold only the first fixed mark and stop after testing the other fixed marks "
      "against it.",
      "minimal");
  const QCommandLineOption decimals("decimals",
                                    "Decimals of the report's elevations and residuals (3).", "N");
  const QCommandLineOption diagram(
      "diagram",
      "Also draw the network (marks, observations coloured by standardized residual, failing "
      "loops shaded) as a picture: .svg, .png or .pdf.",
      "FILE");
  const QCommandLineOption refraction = RefractionOption();
  const QCommandLineOption force =
      ForceOption("Replace existing files: the report, exports, run reports and diagram.");
  const QCommandLineOption strict =
      StrictOption("Write nothing when anything fails (exit status 1).");
  command_line.AddOptions(
      {marks, units, report, exports, reports, lines, runs_from, sigma, components, free,
       constraint, decimals, diagram, refraction, force, strict},
      {"export", "lines", "runs-from", "sigma"});
  command_line.AddPositional("RUN_FILE", "Comma-delimited level files, one run each.",
                             "[RUN_FILE...]");
  int status = 0;
  if (!command_line.Parse(arguments, status)) return status;

  NetworkRequest request;
  NetworkOutputFiles files;
  if (command_line.IsSet(free) && command_line.IsSet(constraint)) {
    return command_line.UsageError("--free and --constraint hold the network two ways; give one.");
  }
  if (command_line.IsSet(free)) request.datum = NetworkDatum::kFree;
  if (command_line.IsSet(constraint)) {
    if (command_line.Value(constraint) != "minimal") {
      return command_line.UsageError("--constraint must be minimal, not '" +
                                     Local8(command_line.Value(constraint)) + "'.");
    }
    request.datum = NetworkDatum::kMinimal;
  }
  if (!command_line.IsSet(marks) && request.datum != NetworkDatum::kFree) {
    return command_line.UsageError("--marks MARKS is required (unless --free).");
  }
  if (!command_line.IsSet(report)) return command_line.UsageError("--output REPORT is required.");
  std::optional<Units> unit_choice;
  if (!command_line.ReadUnits(units, unit_choice)) return kToolInputError;
  request.units = unit_choice;
  if (command_line.IsSet(marks)) {
    request.marks_file = QtPlatform::FromQString(command_line.Value(marks));
  }
  files.report = QtPlatform::FromQString(command_line.Value(report));
  files.run_reports = command_line.IsSet(reports);
  std::vector<NamedFile> named;
  if (!request.marks_file.empty()) named.push_back({"--marks", request.marks_file});
  for (const QString& file : command_line.Positional()) {
    request.run_files.push_back(QtPlatform::FromQString(file));
    named.push_back({"RUN_FILE", request.run_files.back()});
  }
  for (const QString& file : command_line.Values(lines)) {
    request.lines_files.push_back(QtPlatform::FromQString(file));
    named.push_back({"--lines", request.lines_files.back()});
  }
  for (const QString& list : command_line.Values(runs_from)) {
    if (!ReadRunsFrom(platform, command_line, QtPlatform::FromQString(list), request, named)) {
      return kToolInputError;
    }
  }
  if (request.run_files.empty() && request.lines_files.empty()) {
    return command_line.UsageError("name at least one RUN_FILE (or --lines, --runs-from).");
  }
  const std::size_t inputs = named.size();
  named.push_back({"--output", files.report});
  if (!command_line.ReadExports(exports, files.csv_exports, files.json_exports, named)) {
    return kToolInputError;
  }
  std::string diagram_path;
  if (command_line.IsSet(diagram)) {
    diagram_path = QtPlatform::FromQString(command_line.Value(diagram));
    if (!ProfileFormatOf(diagram_path)) {
      return command_line.UsageError("--diagram must name a .svg, .png or .pdf file, not '" +
                                     Local8(command_line.Value(diagram)) + "'.");
    }
    if (make_diagram == nullptr) {
      return command_line.UsageError("--diagram: this quarrow-network cannot draw pictures.");
    }
    named.push_back({"--diagram", diagram_path});
  }
  if (!ReadSigmas(command_line, sigma, request)) return kToolInputError;
  request.variance_components = command_line.IsSet(components);
  if (command_line.IsSet(decimals)) {
    bool ok = false;
    request.decimals = command_line.Value(decimals).toInt(&ok);
    if (!ok || request.decimals < 0 || request.decimals > 9) {
      return command_line.UsageError("--decimals must be a whole number from 0 to 9, not '" +
                                     Local8(command_line.Value(decimals)) + "'.");
    }
  }
  if (!command_line.ReadRefraction(refraction, platform, request.refraction)) {
    return kToolInputError;
  }
  CommandLineAnswers answers(
      errors,
      {.force = command_line.IsSet(force), .strict = command_line.IsSet(strict), .open = false});

  // A field file twice would be one run counted as two observations.
  std::string twice = FindSharedFile(named);
  if (!twice.empty()) return command_line.UsageError(twice + "; nothing was written.");

  const std::optional<Network> network = LoadNetwork(platform, request);
  if (!network) return kToolInputError;
  std::int64_t warnings = 0;
  for (const auto& [file, checker] : network->warnings) {
    PrintWarnings(errors, file, checker);
    warnings += checker.warning_count();
  }
  if (warnings > 0 && command_line.IsSet(strict)) {
    errors << kProgram << ": " << warnings << (warnings == 1 ? " warning" : " warnings")
           << " in the field files; nothing was written (--strict).\n";
    return kToolFailsSpecifications;
  }

  std::vector<NamedFile> outputs(named.begin() + static_cast<std::ptrdiff_t>(inputs), named.end());
  if (files.run_reports) {
    for (const RunRecord& run : network->runs) {
      if (run.kind != ObservationKind::kTrigRun) continue;
      named.push_back({"--reports", run.report_path});
      outputs.push_back({"--reports", run.report_path});
    }
  }
  twice = FindSharedFile(named);
  if (!twice.empty()) return command_line.UsageError(twice + "; nothing was written.");
  for (const NamedFile& file : outputs) {
    std::string question;
    if (!MayReplaceFile(platform, answers, file.path, question)) return kToolInputError;
  }

  NetworkResult result;
  if (!AdjustNetwork(*network, request, result)) {
    errors << kProgram << ": the network cannot be adjusted: its normal equations are singular; "
           << "nothing was written.\n";
    return kToolInputError;
  }
  if (!result.all_meet && command_line.IsSet(strict)) {
    errors << kProgram << ": " << result.runs_meeting << " of "
           << network->runs.size() - static_cast<std::size_t>(result.lines) << " runs and "
           << result.loops_meeting << " of " << result.loops.size()
           << " loops meet third order; the global test "
           << (result.global_test_passed ? "passed" : "failed")
           << (result.control_flagged > 0 ? "; a fixed mark fails the control check" : "")
           << "; nothing was written (--strict).\n";
    return kToolFailsSpecifications;
  }
  std::unique_ptr<DiagramSideOutput> picture;
  if (!diagram_path.empty()) {
    picture = std::make_unique<DiagramSideOutput>(
        std::unique_ptr<DiagramOutput>(make_diagram(diagram_path)),
        NetworkDiagramData(request, *network, result, platform.Today(),
                           platform.DecimalSeparator()));
    files.side_outputs.push_back(picture.get());
  }
  if (!WriteNetworkOutputs(platform, request, *network, result, files)) return kToolInputError;
  return result.all_meet ? kToolMeetsSpecifications : kToolFailsSpecifications;
}

int RunNetworkTool(const QStringList& arguments, std::ostream& output, std::ostream& errors,
                   MakeNetworkDiagram make_diagram) {
  ConsolePlatform platform(errors);
  return RunNetworkTool(arguments, platform, output, errors, make_diagram);
}

}  // namespace quarrow
