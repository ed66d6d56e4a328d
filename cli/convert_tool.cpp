#include "cli/convert_tool.h"

#include <memory>
#include <optional>

#include "cli/tool_command_line.h"
#include "convert/converter.h"
#include "engine/file_paths.h"
#include "engine/whole_file.h"
#include "levelling/levelled_file.h"
#include "levelling/lines_csv.h"
#include "platform/qt_platform.h"

namespace quarrow {

namespace {

constexpr const char* kProgram = "quarrow-convert";

int InputError(std::ostream& errors, const std::string& problem) {
  errors << kProgram << ": " << problem << "\n"
         << "Nothing was written.\n";
  return kConvertInputError;
}

}  // namespace

std::string DefaultLinesFilePath(const std::string& input) {
  return BuildPath(ParentFolderName(input), BaseName(input) + ".csv");
}

int RunConvertTool(const QStringList& arguments, Platform& platform, std::ostream& output,
                   std::ostream& errors) {
  ToolCommandLine command_line(
      kProgram,
      "Converts a total-station file into the comma-delimited field file that quarrow\n"
      "and quarrow-adjust read: Trimble JobXML (.jxl), LandXML 1.2 and Leica HeXML\n"
      "(.xml), Leica GSI (.gsi), Carlson RW5 (.rw5), Sokkia SDR33 (.sdr) or Topcon\n"
      "GTS-7 (.gt7), recognised by its content; and a digital level's file (Leica GSI,\n"
      "Trimble DiNi) into the lines file that quarrow-network reads.\n\n"
      "Exit status: 0 file written; 2 usage or input error, nothing written.",
      output, errors);
  const std::string format_names = SourceFormatNames("|");
  const QCommandLineOption from("from", "Read INPUT as this format instead of recognising it.",
                                QString::fromStdString(format_names + "|gsi-level|dini"));
  const QCommandLineOption field_file(
      "output",
      "File to write (default: INPUT's name with .txt, or .csv for a digital level's file, in "
      "its folder).",
      "FIELD_FILE");
  const QCommandLineOption force = ForceOption("Replace an existing field file.");
  const QCommandLineOption units = UnitsOption(
      "Units of the field file (default: the file's own; metric for JobXML).", "metric|feet");
  const QCommandLineOption dos("dos", "Degree sign 248 and code page 437, for DOS programs.");
  command_line.AddOptions({from, field_file, force, units, dos});
  command_line.AddPositional("INPUT", "The total-station file.");
  int status = 0;
  if (!command_line.Parse(arguments, status)) return status;

  const QStringList files = command_line.Positional();
  if (files.size() != 1) return command_line.UsageError("name exactly one INPUT.");
  ConvertOptions options;
  std::optional<LevelFormat> level_from;  // a digital level's file, by --from
  if (command_line.IsSet(from)) {
    const QString value = command_line.Value(from);
    const std::optional<SourceFormat> format = SourceFormatNamed(value.toStdString());
    if (value == "gsi-level") {
      level_from = LevelFormat::kGsi;
    } else if (value == "dini") {
      level_from = LevelFormat::kDini;
    } else if (format) {
      options.from = *format;
    } else {
      return command_line.UsageError("--from must be " + SourceFormatNames(", ") +
                                     ", gsi-level or dini, not '" + Local8(value) + "'.");
    }
  }
  if (!command_line.ReadUnits(units, options.units, "metric or feet")) return kConvertInputError;
  options.dos = command_line.IsSet(dos);

  const std::string input = QtPlatform::FromQString(files.first());
  if (!platform.FileExists(input)) return InputError(errors, input + ": no such file.");
  std::string bytes;
  if (!ReadWholeFile(platform, input, bytes)) {
    return InputError(errors, input + ": the file cannot be read.");
  }
  // A digital level's file becomes a lines file, not a field file.
  if (!command_line.IsSet(from) && IsDigitalLevelFile(bytes)) level_from = LevelFormat::kRecognise;
  if (level_from && options.dos) {
    return command_line.UsageError(
        "--dos is for field files; a digital level's file converts "
        "into a lines file.");
  }
  const std::string written = level_from ? "lines file" : "field file";
  const std::string path = command_line.IsSet(field_file)
                               ? QtPlatform::FromQString(command_line.Value(field_file))
                           : level_from ? DefaultLinesFilePath(input)
                                        : DefaultFieldFilePath(input);
  if (path == input || platform.IsSameFile(input, path)) {
    return InputError(errors,
                      path + " is the input itself; use --output to name the " + written + ".");
  }
  if (platform.FileExists(path) && !command_line.IsSet(force)) {
    errors << kProgram << ": " << path << " exists.\n"
           << "Use --force to replace it; nothing was written.\n";
    return kConvertInputError;
  }

  options.source_name = FileName(input);
  std::string text;
  std::string kind;
  std::string summary;
  try {
    if (level_from) {
      const LevelledFile file = ReadLevelledFile(bytes, *level_from);
      if (options.units && *options.units != file.units) {
        return InputError(errors, input + ": the file is in " + file.unit_name + ", but --units " +
                                      std::string(UnitsName(*options.units)) +
                                      " says otherwise; a digital level's file keeps its units.");
      }
      text = WriteLinesCsv(file, options.source_name);
      kind = file.kind;
      summary = LevelledSummaryText(file);
    } else {
      const Conversion conversion = Convert(bytes, options);
      text = conversion.text.bytes;
      kind = conversion.kind;
      summary = SummaryText(conversion);
    }
  } catch (const ConvertError& error) {
    return InputError(errors, input + ": " + error.what());
  }

  std::string why;
  std::unique_ptr<ReportSink> sink = platform.CreateReport(path, why);
  if (!sink) return InputError(errors, path + ": the " + written + " cannot be written: " + why);
  if (!sink->Write(text) || !sink->Commit()) {
    return InputError(errors,
                      path + ": the " + written + " cannot be written: " + sink->ErrorText());
  }
  output << "Wrote " << path << " from the " << kind << " file " << input << ".\n" << summary;
  return kConvertWritten;
}

}  // namespace quarrow
