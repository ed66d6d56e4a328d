#include "adjust_tool.h"

#include <QCommandLineParser>
#include <QLocale>
#include <cmath>

#include "adjust_level_run.h"
#include "check_input_file.h"
#include "console_platform.h"
#include "messages.h"
#include "run_state.h"
#include "version.h"

namespace quarrow {

namespace {

constexpr const char* kProgram = "quarrow-adjust";

std::string Local8(const QString& text) { return text.toLocal8Bit().toStdString(); }

int UsageError(std::ostream& errors, const std::string& problem) {
  errors << kProgram << ": " << problem << "\n"
         << "Try '" << kProgram << " --help' for more information.\n";
  return kToolInputError;
}

// Elevations are read with the user's locale, as the window reads its boxes.
bool ReadElevation(const QString& text, double& value) {
  bool ok = false;
  value = QLocale().toDouble(text, &ok);
  return ok && std::isfinite(value);
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
  double begin_elev = 0;
  double end_elev = 0;
  if (!ReadElevation(parser.value(begin), begin_elev)) {
    return UsageError(errors, "--begin is not a number: '" + Local8(parser.value(begin)) + "'.");
  }
  if (!ReadElevation(parser.value(end), end_elev)) {
    return UsageError(errors, "--end is not a number: '" + Local8(parser.value(end)) + "'.");
  }
  const QString unit_choice = parser.value(units);
  if (unit_choice != "feet" && unit_choice != "metric") {
    return UsageError(errors, "--units must be feet or metric, not '" + Local8(unit_choice) + "'.");
  }

  ConsolePlatform platform(errors, parser.isSet(strict), parser.isSet(open));
  RunState rs;
  InitialiseFrames(rs);
  rs.InputPath = QtPlatform::FromQString(files.first());
  const bool derive_report = !parser.isSet(report);
  if (CheckInputFile(rs, platform, derive_report ? kCheckAndDerive : kCheckOnly) != kFileUsable) {
    return kToolInputError;
  }
  if (!derive_report) rs.ReportPath = QtPlatform::FromQString(parser.value(report));
  if (RefuseReportOverFieldFile(rs, platform)) return kToolInputError;
  if (platform.FileExists(rs.ReportPath) && !parser.isSet(force)) {
    errors << rs.ReportPath << messages::kOverwriteExists << "\n"
           << "Use --force to overwrite it; nothing was written.\n";
    return kToolInputError;
  }

  rs.BeginElev = begin_elev;
  rs.EndElev = end_elev;
  const bool feet = unit_choice == "feet";
  rs.UnitsLabel = feet ? messages::kEnglishUnits : messages::kMetricUnits;
  rs.UnitMark = feet ? '\'' : 'm';

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
