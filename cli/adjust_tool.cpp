#include "cli/adjust_tool.h"

#include <algorithm>

#include "cli/command_line_answers.h"
#include "cli/console_platform.h"
#include "cli/output_files.h"
#include "cli/tool_command_line.h"
#include "engine/closure_pass.h"
#include "engine/error_box.h"
#include "engine/field_file_check.h"
#include "engine/messages.h"
#include "engine/report_format.h"
#include "engine/run_state.h"
#include "engine/units_hint.h"
#include "exports/requested_outputs.h"
#include "plot/profile_format.h"
#include "shell/adjust_level_run.h"
#include "shell/check_input_file.h"
#include "shell/prepare_adjustment.h"

namespace quarrow {

namespace {

constexpr const char* kProgram = "quarrow-adjust";

// --check: the field file read as an adjustment reads it, its warnings on
// `errors` and a summary on `output`. 0 when there is no warning, 1 when
// there are, 2 when the file cannot be used.
int CheckFieldFileOnly(Platform& platform, const std::string& path, Units units, bool units_named,
                       std::ostream& output, std::ostream& errors) {
  RunState rs;
  InitialiseFrames(rs);
  rs.InputPath = path;
  if (CheckInputFile(rs, platform, CheckMode::kCheckOnly) != kFileUsable) return kToolInputError;
  StoreAdjustmentInputs(rs, 0, 0, units);
  FieldFileChecker checker;
  const ClosureResult closure = RunClosurePass(rs, platform, &checker);
  PrintWarnings(errors, path, checker);
  if (closure.status != ClosureStatus::kComputed) return kToolFailsSpecifications;
  const std::int64_t sides =
      static_cast<std::int64_t>(std::count(rs.ShotPattern.begin(), rs.ShotPattern.end(), '1'));
  const auto count = [](std::int64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
  };
  output << path << ": " << count(rs.SetupCount, "setup", "setups") << ", "
         << count(checker.observations(), "observation", "observations") << ", "
         << count(sides, "side shot", "side shots") << ", run length "
         << FormatFixed3(rs.RunLength, ".") << "; "
         << (units_named ? "units: " + std::string(UnitsName(units)) + ", as its first line says"
                         : std::string("its units are not named in it"))
         << "; " << count(checker.warning_count(), "warning", "warnings") << ".\n";
  return checker.warning_count() == 0 ? kToolMeetsSpecifications : kToolFailsSpecifications;
}

}  // namespace

int RunAdjustTool(const QStringList& arguments, Platform& platform, std::ostream& output,
                  std::ostream& errors, MakeProfilePicture make_picture) {
  ToolCommandLine command_line(
      kProgram,
      "Adjusts a trigonometric level run from a comma-delimited field file and writes the\n"
      "fixed-width adjustment report.\n\n"
      "Exit status: 0 report written, the run meets third-order specifications;\n"
      "1 third-order tests failed (report written unless --strict);\n"
      "2 usage or input error, nothing written.",
      output, errors);
  const QCommandLineOption begin("begin", "Published elevation of the beginning bench mark.",
                                 "ELEV");
  const QCommandLineOption end("end", "Published elevation of the ending bench mark.", "ELEV");
  const QCommandLineOption units =
      UnitsOption("Units of the field file: feet (default) or metric.");
  const QCommandLineOption report(
      "output", "Report file (default: the field file's name with .adj, in its folder).", "REPORT");
  const QCommandLineOption exports = ExportOption(
      "Also write the adjusted points (.csv) or the whole adjustment (.json); "
      "may be given more than once.");
  const QCommandLineOption profile(
      "profile", "Also draw the run's profile as a picture (.svg, .png or .pdf).", "FILE");
  const QCommandLineOption refraction = RefractionOption();
  const QCommandLineOption distribute(
      "distribute",
      "Distribute the misclosure in proportion to distance (default) or equally over the setups.",
      "distance|setups");
  const QCommandLineOption force =
      ForceOption("Replace existing files: the report, exports and profile.");
  const QCommandLineOption strict =
      StrictOption("Write nothing when third-order tests fail (exit status 1).");
  const QCommandLineOption open("open", "Open the report in the text viewer when written.");
  const QCommandLineOption check("check",
                                 "Only read FIELD_FILE: print its warnings (a line each) and a "
                                 "summary; exit status 0 without warnings, 1 with.");
  command_line.AddOptions({begin, end, units, report, exports, profile, refraction, distribute,
                           force, strict, open, check},
                          {"export"});
  command_line.AddPositional("FIELD_FILE", "The comma-delimited level file.");
  int status = 0;
  if (!command_line.Parse(arguments, status)) return status;

  const QStringList files = command_line.Positional();
  if (files.size() != 1) return command_line.UsageError("name exactly one FIELD_FILE.");
  std::optional<Units> unit_choice;
  if (!command_line.ReadUnits(units, unit_choice)) return kToolInputError;
  // The units the field file names, unless --units names others.
  const std::string field_file = QtPlatform::FromQString(files.first());
  const std::optional<Units> named_units = ReadUnitsHint(platform, field_file);
  if (unit_choice && named_units && *unit_choice != *named_units) {
    return command_line.UsageError(
        field_file + " names its units in its first line: " + std::string(UnitsName(*named_units)) +
        ", but --units says " + std::string(UnitsName(*unit_choice)) + "; nothing was written.");
  }
  const Units run_units = unit_choice.value_or(named_units.value_or(Units::kFeet));
  if (command_line.IsSet(check)) {
    return CheckFieldFileOnly(platform, field_file, run_units, named_units.has_value(), output,
                              errors);
  }
  if (!command_line.IsSet(begin)) return command_line.UsageError("--begin ELEV is required.");
  if (!command_line.IsSet(end)) return command_line.UsageError("--end ELEV is required.");
  const QString distribution =
      command_line.IsSet(distribute) ? command_line.Value(distribute) : "distance";
  if (distribution != "distance" && distribution != "setups") {
    return command_line.UsageError("--distribute must be distance or setups, not '" +
                                   Local8(distribution) + "'.");
  }
  RequestedOutputs requested;
  std::vector<NamedFile> requested_files;  // with their options, for the same-file test
  if (!command_line.ReadExports(exports, requested.csv, requested.json, requested_files)) {
    return kToolInputError;
  }
  if (command_line.IsSet(profile)) {
    requested.profile = QtPlatform::FromQString(command_line.Value(profile));
    if (!ProfileFormatOf(requested.profile)) {
      return command_line.UsageError("--profile must name a .svg, .png or .pdf file, not '" +
                                     Local8(command_line.Value(profile)) + "'.");
    }
    if (make_picture == nullptr) {
      return command_line.UsageError("--profile: this quarrow-adjust cannot draw pictures.");
    }
    requested_files.push_back({"--profile", requested.profile});
  }
  RunChoices choices;
  if (!command_line.ReadRefraction(refraction, platform, choices.refraction_k)) {
    return kToolInputError;
  }
  choices.distribute_by_setups = distribution == "setups";
  CommandLineAnswers answers(errors, {.force = command_line.IsSet(force),
                                      .strict = command_line.IsSet(strict),
                                      .open = command_line.IsSet(open)});

  RunState rs;
  InitialiseFrames(rs);
  AdjustRequest request;
  request.field_file = field_file;
  if (command_line.IsSet(report)) {
    request.report_file = QtPlatform::FromQString(command_line.Value(report));
  }
  request.begin_elevation = QtPlatform::FromQString(command_line.Value(begin));
  request.end_elevation = QtPlatform::FromQString(command_line.Value(end));
  request.units = run_units;
  switch (PrepareAdjustment(rs, platform, answers, request)) {
    case Preparation::kReady:
      break;
    case Preparation::kStopped:
      return kToolInputError;
    case Preparation::kBeginNotNumber:
      return command_line.UsageError("--begin is not a number: '" +
                                     Local8(command_line.Value(begin)) + "'.");
    case Preparation::kEndNotNumber:
      return command_line.UsageError("--end is not a number: '" + Local8(command_line.Value(end)) +
                                     "'.");
  }
  StoreRunChoices(rs, choices);

  // Every output a file of its own, and none replaced unless the user said so.
  std::vector<NamedFile> named = {{"FIELD_FILE", rs.InputPath}, {"--output", rs.ReportPath}};
  named.insert(named.end(), requested_files.begin(), requested_files.end());
  const std::string shared = FindSharedFile(named);
  if (!shared.empty()) return command_line.UsageError(shared + "; nothing was written.");
  for (const NamedFile& file : requested_files) {
    std::string question;
    if (!MayReplaceFile(platform, answers, file.path, question)) return kToolInputError;
  }

  RunOutputs outputs(platform);
  if (!AddRequestedOutputs(platform, rs, requested, make_picture, outputs)) {
    return kToolInputError;
  }
  FieldFileChecker checker;
  const AdjustOutcome outcome =
      AdjustLevelRun(rs, platform, answers, outputs.empty() ? nullptr : &outputs, &checker);
  if (outcome == AdjustOutcome::kFailed || outcome == AdjustOutcome::kCancelled) {
    return outcome == AdjustOutcome::kFailed ? kToolInputError : kToolFailsSpecifications;
  }
  if (!outputs.Commit()) return kToolInputError;
  return outcome == AdjustOutcome::kMeetsSpecifications ? kToolMeetsSpecifications
                                                        : kToolFailsSpecifications;
}

int RunAdjustTool(const QStringList& arguments, std::ostream& output, std::ostream& errors,
                  MakeProfilePicture make_picture) {
  ConsolePlatform platform(errors);
  return RunAdjustTool(arguments, platform, output, errors, make_picture);
}

}  // namespace quarrow
