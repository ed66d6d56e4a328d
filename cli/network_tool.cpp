#include "cli/network_tool.h"

#include "cli/adjust_tool.h"
#include "cli/command_line_answers.h"
#include "cli/console_platform.h"
#include "cli/output_files.h"
#include "cli/tool_command_line.h"
#include "engine/data_fields.h"
#include "network/network_adjustment.h"
#include "network/network_outputs.h"
#include "shell/prepare_adjustment.h"

namespace quarrow {

namespace {

constexpr const char* kProgram = "quarrow-network";

}  // namespace

int RunNetworkTool(const QStringList& arguments, Platform& platform, std::ostream& output,
                   std::ostream& errors) {
  ToolCommandLine command_line(
      kProgram,
      "Adjusts level runs together by least squares: each field file is one run between its\n"
      "beginning and ending bench marks, joined to the others at marks of the same name and\n"
      "held to the marks of the marks file.\n\n"
      "Exit status: 0 adjusted, every run, every loop and the global test meet;\n"
      "1 adjusted, something failed (written unless --strict);\n"
      "2 usage or input error, nothing written.",
      output, errors);
  const QCommandLineOption marks("marks",
                                 "Marks file: name,elevation[,standard_deviation] a line; "
                                 "without a standard deviation a mark is held fixed.",
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
  const QCommandLineOption sigma("sigma",
                                 "A-priori standard error of one kilometre of levelling, in mm "
                                 "(default 2.0).",
                                 "S");
  const QCommandLineOption refraction = RefractionOption();
  const QCommandLineOption force =
      ForceOption("Replace existing files: the report, exports and run reports.");
  const QCommandLineOption strict =
      StrictOption("Write nothing when anything fails (exit status 1).");
  command_line.AddOptions(
      {marks, units, report, exports, reports, sigma, refraction, force, strict}, {"export"});
  command_line.AddPositional("RUN_FILE", "Comma-delimited level files, one run each.",
                             "RUN_FILE...");
  int status = 0;
  if (!command_line.Parse(arguments, status)) return status;

  NetworkRequest request;
  NetworkOutputFiles files;
  if (!command_line.IsSet(marks)) return command_line.UsageError("--marks MARKS is required.");
  if (!command_line.IsSet(report)) return command_line.UsageError("--output REPORT is required.");
  if (command_line.Positional().isEmpty()) {
    return command_line.UsageError("name at least one RUN_FILE.");
  }
  std::optional<Units> unit_choice;
  if (!command_line.ReadUnits(units, unit_choice)) return kToolInputError;
  request.units = unit_choice;
  request.marks_file = QtPlatform::FromQString(command_line.Value(marks));
  files.report = QtPlatform::FromQString(command_line.Value(report));
  files.run_reports = command_line.IsSet(reports);
  std::vector<NamedFile> named = {{"--marks", request.marks_file}};
  for (const QString& file : command_line.Positional()) {
    request.run_files.push_back(QtPlatform::FromQString(file));
    named.push_back({"RUN_FILE", request.run_files.back()});
  }
  named.push_back({"--output", files.report});
  if (!command_line.ReadExports(exports, files.csv_exports, files.json_exports, named)) {
    return kToolInputError;
  }
  if (command_line.IsSet(sigma)) {
    // A number on the command line, like --refraction: "." whatever the locale.
    const std::optional<double> value =
        ReadDataNumber(QtPlatform::FromQString(command_line.Value(sigma)));
    if (!value || *value <= 0) {
      return command_line.UsageError("--sigma must be a positive number of millimetres, not '" +
                                     Local8(command_line.Value(sigma)) + "'.");
    }
    request.sigma_millimetres = *value;
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

  std::vector<NamedFile> outputs(
      named.begin() + 1 + static_cast<std::ptrdiff_t>(request.run_files.size()), named.end());
  if (files.run_reports) {
    for (const RunRecord& run : network->runs) named.push_back({"--reports", run.report_path});
    for (const RunRecord& run : network->runs) outputs.push_back({"--reports", run.report_path});
  }
  twice = FindSharedFile(named);
  if (!twice.empty()) return command_line.UsageError(twice + "; nothing was written.");
  for (const NamedFile& file : outputs) {
    std::string question;
    if (!MayReplaceFile(platform, answers, file.path, question)) return kToolInputError;
  }

  NetworkResult result;
  if (!AdjustNetwork(*network, request.sigma_millimetres, result)) {
    errors << kProgram << ": the network cannot be adjusted: its normal equations are singular; "
           << "nothing was written.\n";
    return kToolInputError;
  }
  if (!result.all_meet && command_line.IsSet(strict)) {
    errors << kProgram << ": " << result.runs_meeting << " of " << network->runs.size()
           << " runs and " << result.loops_meeting << " of " << result.loops.size()
           << " loops meet third order; the global test "
           << (result.global_test_passed ? "passed" : "failed")
           << "; nothing was written (--strict).\n";
    return kToolFailsSpecifications;
  }
  if (!WriteNetworkOutputs(platform, request, *network, result, files)) return kToolInputError;
  return result.all_meet ? kToolMeetsSpecifications : kToolFailsSpecifications;
}

int RunNetworkTool(const QStringList& arguments, std::ostream& output, std::ostream& errors) {
  ConsolePlatform platform(errors);
  return RunNetworkTool(arguments, platform, output, errors);
}

}  // namespace quarrow
