#include "cli/network_tool.h"
#include <QCommandLineParser>

#include "cli/adjust_tool.h"
#include "cli/console_platform.h"
#include "cli/output_files.h"
#include "engine/version.h"
#include "network/marks_file.h"
#include "network/network_adjustment.h"
#include "network/network_outputs.h"

namespace quarrow {

namespace {

constexpr const char* kProgram = "quarrow-network";

int UsageError(std::ostream& errors, const std::string& problem) {
  return PrintUsageError(errors, kProgram, problem);
}

bool EndsWith(const QString& path, const char* extension) {
  return path.endsWith(QLatin1String(extension), Qt::CaseInsensitive);
}

}  // namespace

int RunNetworkTool(const QStringList& arguments, std::ostream& output, std::ostream& errors) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Adjusts level runs together by least squares: each field file is one run between its\n"
      "beginning and ending bench marks, joined to the others at marks of the same name and\n"
      "held to the marks of the marks file.\n\n"
      "Exit status: 0 adjusted, every run, every loop and the global test meet;\n"
      "1 adjusted, something failed (written unless --strict);\n"
      "2 usage or input error, nothing written.");
  const QCommandLineOption marks("marks",
                                 "Marks file: name,elevation[,standard_deviation] a line; "
                                 "without a standard deviation a mark is held fixed.",
                                 "MARKS");
  const QCommandLineOption units("units", "Units of the field files: feet (default) or metric.",
                                 "feet|metric", "feet");
  const QCommandLineOption report("output", "The network report.", "REPORT");
  const QCommandLineOption exports(
      "export",
      "Also write every run's adjusted points (.csv) or the whole adjustment (.json); "
      "may be given more than once.",
      "FILE");
  const QCommandLineOption reports("reports",
                                   "Also write each run's report beside its field file, adjusted "
                                   "between its network marks.");
  const QCommandLineOption sigma("sigma",
                                 "A-priori standard error of one kilometre of levelling, in mm "
                                 "(default 2.0).",
                                 "S");
  const QCommandLineOption refraction("refraction",
                                      "Correct every sight for curvature and refraction with "
                                      "coefficient K (0 <= K < 1, usually 0.13).",
                                      "K");
  const QCommandLineOption force("force",
                                 "Replace existing files: the report, exports and run reports.");
  const QCommandLineOption strict("strict", "Write nothing when anything fails (exit status 1).");
  const QCommandLineOption help({"h", "help"}, "Show this help and exit.");
  const QCommandLineOption version({"v", "version"}, "Show the version and exit.");
  parser.addOptions(
      {marks, units, report, exports, reports, sigma, refraction, force, strict, help, version});
  parser.addPositionalArgument("RUN_FILE", "Comma-delimited level files, one run each.",
                               "RUN_FILE...");

  if (!parser.parse(arguments)) return UsageError(errors, Local8(parser.errorText()));
  if (parser.isSet(help)) {
    output << Local8(parser.helpText());
    return kToolMeetsSpecifications;
  }
  if (parser.isSet(version)) {
    output << kProgram << ' ' << kVersionText << '\n';
    return kToolMeetsSpecifications;
  }

  NetworkRequest request;
  NetworkOutputFiles files;
  if (!parser.isSet(marks)) return UsageError(errors, "--marks MARKS is required.");
  if (!parser.isSet(report)) return UsageError(errors, "--output REPORT is required.");
  if (parser.positionalArguments().isEmpty())
    return UsageError(errors, "name at least one RUN_FILE.");
  const QString unit_choice = parser.value(units);
  if (unit_choice != "feet" && unit_choice != "metric") {
    return UsageError(errors, "--units must be feet or metric, not '" + Local8(unit_choice) + "'.");
  }
  request.units = unit_choice == "feet" ? Units::kFeet : Units::kMetric;
  request.marks_file = QtPlatform::FromQString(parser.value(marks));
  files.report = QtPlatform::FromQString(parser.value(report));
  files.run_reports = parser.isSet(reports);
  std::vector<NamedFile> named = {{"--marks", request.marks_file}};
  for (const QString& file : parser.positionalArguments()) {
    request.run_files.push_back(QtPlatform::FromQString(file));
    named.push_back({"RUN_FILE", request.run_files.back()});
  }
  named.push_back({"--output", files.report});
  for (const QString& path : parser.values(exports)) {
    if (EndsWith(path, ".csv")) {
      files.csv_exports.push_back(QtPlatform::FromQString(path));
    } else if (EndsWith(path, ".json")) {
      files.json_exports.push_back(QtPlatform::FromQString(path));
    } else {
      return UsageError(errors,
                        "--export must name a .csv or .json file, not '" + Local8(path) + "'.");
    }
    named.push_back({"--export", QtPlatform::FromQString(path)});
  }
  if (parser.isSet(sigma)) {
    // A number on the command line, like --refraction: "." whatever the locale.
    const std::optional<double> value =
        ReadDataNumber(QtPlatform::FromQString(parser.value(sigma)));
    if (!value || *value <= 0) {
      return UsageError(errors, "--sigma must be a positive number of millimetres, not '" +
                                    Local8(parser.value(sigma)) + "'.");
    }
    request.sigma_millimetres = *value;
  }

  ConsolePlatform platform(errors, {.strict = parser.isSet(strict),
                                    .replace_reports = parser.isSet(force),
                                    .open_viewer = false});
  if (parser.isSet(refraction)) {
    double k = 0;
    if (!platform.ReadLocaleNumber(QtPlatform::FromQString(parser.value(refraction)), k) || k < 0 ||
        k >= 1) {
      return UsageError(errors,
                        "--refraction must be a number from 0 up to 1 (not 1 itself), not '" +
                            Local8(parser.value(refraction)) + "'.");
    }
    request.refraction = k;
  }

  // A field file twice would be one run counted as two observations.
  std::string twice = FindSharedFile(named);
  if (!twice.empty()) return UsageError(errors, twice + "; nothing was written.");

  const std::optional<Network> network = LoadNetwork(platform, request);
  if (!network) return kToolInputError;

  std::vector<NamedFile> outputs(
      named.begin() + 1 + static_cast<std::ptrdiff_t>(request.run_files.size()), named.end());
  if (files.run_reports) {
    for (const RunRecord& run : network->runs) named.push_back({"--reports", run.report_path});
    for (const RunRecord& run : network->runs) outputs.push_back({"--reports", run.report_path});
  }
  twice = FindSharedFile(named);
  if (!twice.empty()) return UsageError(errors, twice + "; nothing was written.");
  for (const NamedFile& file : outputs) {
    std::string question;
    if (!MayReplaceFile(platform, file.path, question)) return kToolInputError;
  }

  NetworkResult result;
  if (!AdjustNetwork(*network, request.sigma_millimetres, result)) {
    errors << kProgram << ": the network cannot be adjusted: its normal equations are singular; "
           << "nothing was written.\n";
    return kToolInputError;
  }
  if (!result.all_meet && parser.isSet(strict)) {
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

}  // namespace quarrow
