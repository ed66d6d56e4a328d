#include "cli/convert_tool.h"

#include <memory>
#include <optional>

#include "cli/tool_command_line.h"
#include "convert/converter.h"
#include "engine/file_paths.h"
#include "engine/whole_file.h"
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

std::string DefaultFieldFilePath(const std::string& input) {
  return BuildPath(ParentFolderName(input), BaseName(input) + ".txt");
}

int RunConvertTool(const QStringList& arguments, Platform& platform, std::ostream& output,
                   std::ostream& errors) {
  ToolCommandLine command_line(
      kProgram,
      "Converts a total-station file into the comma-delimited field file that quarrow\n"
      "and quarrow-adjust read: Trimble JobXML (.jxl), LandXML 1.2 and Leica HeXML\n"
      "(.xml), Leica GSI (.gsi), Carlson RW5 (.rw5), Sokkia SDR33 (.sdr) or Topcon\n"
      "GTS-7 (.gt7), recognised by its content.\n\n"
      "Exit status: 0 field file written; 2 usage or input error, nothing written.",
      output, errors);
  const std::string format_names = SourceFormatNames("|");
  const QCommandLineOption from("from", "Read INPUT as this format instead of recognising it.",
                                QString::fromStdString(format_names));
  const QCommandLineOption field_file(
      "output", "Field file to write (default: INPUT's name with .txt, in its folder).",
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
  if (command_line.IsSet(from)) {
    const QString value = command_line.Value(from);
    const std::optional<SourceFormat> format = SourceFormatNamed(value.toStdString());
    if (!format) {
      return command_line.UsageError("--from must be " + SourceFormatNames(", ") + ", not '" +
                                     Local8(value) + "'.");
    }
    options.from = *format;
  }
  std::optional<Units> unit_choice;
  if (!command_line.ReadUnits(units, unit_choice, "metric or feet")) return kConvertInputError;
  if (unit_choice) {
    options.units = *unit_choice == Units::kMetric ? UnitChoice::kMetric : UnitChoice::kFeet;
  }
  options.dos = command_line.IsSet(dos);

  const std::string input = QtPlatform::FromQString(files.first());
  if (!platform.FileExists(input)) return InputError(errors, input + ": no such file.");
  const std::string path = command_line.IsSet(field_file)
                               ? QtPlatform::FromQString(command_line.Value(field_file))
                               : DefaultFieldFilePath(input);
  if (path == input || platform.IsSameFile(input, path)) {
    return InputError(errors, path + " is the input itself; use --output to name the field file.");
  }
  if (platform.FileExists(path) && !command_line.IsSet(force)) {
    errors << kProgram << ": " << path << " exists.\n"
           << "Use --force to replace it; nothing was written.\n";
    return kConvertInputError;
  }

  std::string bytes;
  if (!ReadWholeFile(platform, input, bytes)) {
    return InputError(errors, input + ": the file cannot be read.");
  }
  options.source_name = FileName(input);
  Conversion conversion;
  try {
    conversion = Convert(bytes, options);
  } catch (const ConvertError& error) {
    return InputError(errors, input + ": " + error.what());
  }

  std::string why;
  std::unique_ptr<ReportSink> sink = platform.CreateReport(path, why);
  if (!sink) return InputError(errors, path + ": the field file cannot be written: " + why);
  if (!sink->Write(conversion.text.bytes) || !sink->Commit()) {
    return InputError(errors, path + ": the field file cannot be written: " + sink->ErrorText());
  }
  output << "Wrote " << path << " from the " << conversion.kind << " file " << input << ".\n"
         << SummaryText(conversion);
  return kConvertWritten;
}

}  // namespace quarrow
