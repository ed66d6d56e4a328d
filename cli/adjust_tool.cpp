#include "cli/adjust_tool.h"

#include <QCommandLineParser>

#include "cli/console_platform.h"
#include "engine/adjust_level_run.h"
#include "engine/run_state.h"
#include "engine/version.h"
#include "shell/prepare_adjustment.h"

namespace quarrow {

namespace {

constexpr const char* kProgram = "quarrow-adjust";

std::string Local8(const QString& text) { return text.toLocal8Bit().toStdString(); }

int UsageError(std::ostream& errors, const std::string& problem) {
  errors << kProgram << ": " << problem << "\n"
         << "Try '" << kProgram << " --help' for more information.\n";
  return kToolInputError;
}

}  // namespace

int RunAdjustTool(const QStringList& arguments, std::ostream& output, std::ostream& errors) {
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
  const QCommandLineOption force("force", "Replace an existing report file.");
  const QCommandLineOption strict("strict",
                                  "Write nothing when third-order tests fail (exit status 1).");
  const QCommandLineOption open("open", "Open the report in the text viewer when written.");
  const QCommandLineOption help({"h", "help"}, "Show this help and exit.");
  const QCommandLineOption version({"v", "version"}, "Show the version and exit.");
  parser.addOptions({begin, end, units, report, force, strict, open, help, version});
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

  ConsolePlatform platform(errors, {.strict = parser.isSet(strict),
                                    .replace_reports = parser.isSet(force),
                                    .open_viewer = parser.isSet(open)});
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

  switch (AdjustLevelRun(rs, platform)) {
    case AdjustOutcome::kMeetsSpecifications:
      return kToolMeetsSpecifications;
    case AdjustOutcome::kFailsSpecifications:
    case AdjustOutcome::kCancelled:
      return kToolFailsSpecifications;
    case AdjustOutcome::kFailed:
      break;
  }
  return kToolInputError;
}

}  // namespace quarrow
