#include "cli/adjust_tool.h"

#include <QCommandLineParser>

#include "cli/console_platform.h"
#include "cli/output_files.h"
#include "engine/adjust_level_run.h"
#include "engine/error_box.h"
#include "engine/messages.h"
#include "engine/run_state.h"
#include "engine/version.h"
#include "exports/csv_export.h"
#include "exports/json_export.h"
#include "exports/name_encoding.h"
#include "plot/profile_format.h"
#include "plot/profile_module.h"
#include "shell/prepare_adjustment.h"

namespace quarrow {

namespace {

constexpr const char* kProgram = "quarrow-adjust";

int UsageError(std::ostream& errors, const std::string& problem) {
  return PrintUsageError(errors, kProgram, problem);
}

bool EndsWith(const QString& path, const char* extension) {
  return path.endsWith(QLatin1String(extension), Qt::CaseInsensitive);
}

// What the user asked for beyond the report.
struct Extras {
  std::vector<std::string> csv_exports;
  std::vector<std::string> json_exports;
  std::string profile;
  std::vector<NamedFile> outputs;  // every output named, for the same-file test
};

// The profile picture and the CSV and JSON exports, each writing into its
// temporary file.
bool AddOutputs(Platform& platform, const RunState& rs, const Extras& extras,
                MakeProfilePicture make_picture, RunOutputs& outputs) {
  if (!extras.profile.empty()) {
    outputs.Add(std::unique_ptr<RunOutput>(make_picture(rs, extras.profile, platform.Today())));
  }
  if (extras.csv_exports.empty() && extras.json_exports.empty()) return true;
  const NameEncoding encoding = DetectNameEncoding(platform, rs.InputPath, rs.DegreeMark);
  const CivilDate today = platform.Today();
  const auto create = [&platform](const std::string& path) {
    std::string error;
    std::unique_ptr<ReportSink> sink = platform.CreateReport(path, error);
    if (!sink) ShowError(platform, {messages::kUnableToWriteOutput, path, error});
    return sink;
  };
  for (const std::string& path : extras.csv_exports) {
    std::unique_ptr<ReportSink> sink = create(path);
    if (!sink) return false;
    outputs.Add(std::make_unique<CsvExport>(path, std::move(sink), encoding));
  }
  for (const std::string& path : extras.json_exports) {
    std::unique_ptr<ReportSink> sink = create(path);
    if (!sink) return false;
    outputs.Add(std::make_unique<JsonExport>(path, std::move(sink), rs, encoding, today));
  }
  return true;
}

}  // namespace

int RunAdjustTool(const QStringList& arguments, std::ostream& output, std::ostream& errors,
                  MakeProfilePicture make_picture) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Adjusts a trigonometric level run from a comma-delimited field file and writes the\n"
      "fixed-width adjustment report.\n\n"
      "Exit status: 0 report written, the run meets third-order specifications;\n"
      "1 third-order tests failed (report written unless --strict);\n"
      "2 usage or input error, nothing written.");
  const QCommandLineOption begin("begin", "Published elevation of the beginning bench mark.",
                                 "ELEV");
  const QCommandLineOption end("end", "Published elevation of the ending bench mark.", "ELEV");
  const QCommandLineOption units("units", "Units of the field file: feet (default) or metric.",
                                 "feet|metric", "feet");
  const QCommandLineOption report(
      "output", "Report file (default: the field file's name with .adj, in its folder).", "REPORT");
  const QCommandLineOption exports("export",
                                   "Also write the adjusted points (.csv) or the whole adjustment "
                                   "(.json); may be given more than once.",
                                   "FILE");
  const QCommandLineOption profile(
      "profile", "Also draw the run's profile as a picture (.svg, .png or .pdf).", "FILE");
  const QCommandLineOption refraction("refraction",
                                      "Correct every sight for curvature and refraction with "
                                      "coefficient K (0 <= K < 1, usually 0.13).",
                                      "K");
  const QCommandLineOption distribute(
      "distribute",
      "Distribute the misclosure in proportion to distance (default) or equally over the setups.",
      "distance|setups", "distance");
  const QCommandLineOption force("force",
                                 "Replace existing files: the report, exports and profile.");
  const QCommandLineOption strict("strict",
                                  "Write nothing when third-order tests fail (exit status 1).");
  const QCommandLineOption open("open", "Open the report in the text viewer when written.");
  const QCommandLineOption help({"h", "help"}, "Show this help and exit.");
  const QCommandLineOption version({"v", "version"}, "Show the version and exit.");
  parser.addOptions({begin, end, units, report, exports, profile, refraction, distribute, force,
                     strict, open, help, version});
  parser.addPositionalArgument("FIELD_FILE", "The comma-delimited level file.");

  if (!parser.parse(arguments)) return UsageError(errors, Local8(parser.errorText()));
  if (parser.isSet(help)) {
    output << Local8(parser.helpText());
    return kToolMeetsSpecifications;
  }
  if (parser.isSet(version)) {
    output << kProgram << ' ' << kVersionText << '\n';
    return kToolMeetsSpecifications;
  }

  const QStringList files = parser.positionalArguments();
  if (files.size() != 1) return UsageError(errors, "name exactly one FIELD_FILE.");
  if (!parser.isSet(begin)) return UsageError(errors, "--begin ELEV is required.");
  if (!parser.isSet(end)) return UsageError(errors, "--end ELEV is required.");
  const QString unit_choice = parser.value(units);
  if (unit_choice != "feet" && unit_choice != "metric") {
    return UsageError(errors, "--units must be feet or metric, not '" + Local8(unit_choice) + "'.");
  }
  const QString distribution = parser.value(distribute);
  if (distribution != "distance" && distribution != "setups") {
    return UsageError(
        errors, "--distribute must be distance or setups, not '" + Local8(distribution) + "'.");
  }
  Extras extras;
  for (const QString& path : parser.values(exports)) {
    if (EndsWith(path, ".csv")) {
      extras.csv_exports.push_back(QtPlatform::FromQString(path));
    } else if (EndsWith(path, ".json")) {
      extras.json_exports.push_back(QtPlatform::FromQString(path));
    } else {
      return UsageError(errors,
                        "--export must name a .csv or .json file, not '" + Local8(path) + "'.");
    }
    extras.outputs.push_back({"--export", QtPlatform::FromQString(path)});
  }
  if (parser.isSet(profile)) {
    extras.profile = QtPlatform::FromQString(parser.value(profile));
    if (!ProfileFormatOf(extras.profile)) {
      return UsageError(errors, "--profile must name a .svg, .png or .pdf file, not '" +
                                    Local8(parser.value(profile)) + "'.");
    }
    if (make_picture == nullptr) {
      return UsageError(errors, "--profile: this quarrow-adjust cannot draw pictures.");
    }
    extras.outputs.push_back({"--profile", extras.profile});
  }

  ConsolePlatform platform(errors, {.strict = parser.isSet(strict),
                                    .replace_reports = parser.isSet(force),
                                    .open_viewer = parser.isSet(open)});
  double refraction_k = 0;
  if (parser.isSet(refraction)) {
    const std::string text = QtPlatform::FromQString(parser.value(refraction));
    if (!platform.ReadLocaleNumber(text, refraction_k) || refraction_k < 0 || refraction_k >= 1) {
      return UsageError(errors,
                        "--refraction must be a number from 0 up to 1 (not 1 itself), not '" +
                            Local8(parser.value(refraction)) + "'.");
    }
  }

  RunState rs;
  InitialiseFrames(rs);
  AdjustRequest request;
  request.field_file = QtPlatform::FromQString(files.first());
  if (parser.isSet(report)) request.report_file = QtPlatform::FromQString(parser.value(report));
  request.begin_elevation = QtPlatform::FromQString(parser.value(begin));
  request.end_elevation = QtPlatform::FromQString(parser.value(end));
  request.units = unit_choice == "feet" ? Units::kFeet : Units::kMetric;
  switch (PrepareAdjustment(rs, platform, request)) {
    case Preparation::kReady:
      break;
    case Preparation::kStopped:
      return kToolInputError;
    case Preparation::kBeginNotNumber:
      return UsageError(errors, "--begin is not a number: '" + Local8(parser.value(begin)) + "'.");
    case Preparation::kEndNotNumber:
      return UsageError(errors, "--end is not a number: '" + Local8(parser.value(end)) + "'.");
  }
  rs.CurvatureApplied = parser.isSet(refraction);
  rs.RefractionK = refraction_k;
  rs.DistributeBySetups = distribution == "setups";

  // Every output a file of its own, and none replaced unless the user said so.
  std::vector<NamedFile> named = {{"FIELD_FILE", rs.InputPath}, {"--output", rs.ReportPath}};
  named.insert(named.end(), extras.outputs.begin(), extras.outputs.end());
  const std::string shared = FindSharedFile(named);
  if (!shared.empty()) return UsageError(errors, shared + "; nothing was written.");
  for (const NamedFile& file : extras.outputs) {
    std::string question;
    if (!MayReplaceFile(platform, file.path, question)) return kToolInputError;
  }

  RunOutputs outputs(platform);
  if (!AddOutputs(platform, rs, extras, make_picture, outputs)) return kToolInputError;
  const AdjustOutcome outcome = AdjustLevelRun(rs, platform, outputs.empty() ? nullptr : &outputs);
  if (outcome == AdjustOutcome::kFailed || outcome == AdjustOutcome::kCancelled) {
    return outcome == AdjustOutcome::kFailed ? kToolInputError : kToolFailsSpecifications;
  }
  if (!outputs.Commit()) return kToolInputError;
  return outcome == AdjustOutcome::kMeetsSpecifications ? kToolMeetsSpecifications
                                                        : kToolFailsSpecifications;
}

}  // namespace quarrow
