#include "cli/convert_tool.h"

#include <QCommandLineParser>
#include <memory>
#include <optional>

#include "cli/console_platform.h"
#include "convert/converter.h"
#include "engine/file_paths.h"
#include "engine/version.h"
#include "platform/qt_platform.h"

namespace quarrow {

namespace {

constexpr const char* kProgram = "quarrow-convert";

int UsageError(std::ostream& errors, const std::string& problem) {
  return PrintUsageError(errors, kProgram, problem);
}

int InputError(std::ostream& errors, const std::string& problem) {
  errors << kProgram << ": " << problem << "\n"
         << "Nothing was written.\n";
  return kConvertInputError;
}

// The whole input, or nullopt when it cannot be read.
std::optional<std::string> ReadAll(Platform& platform, const std::string& path) {
  std::unique_ptr<ByteSource> source = platform.OpenForReading(path);
  if (!source) return std::nullopt;
  std::string bytes;
  char buffer[65536];
  for (;;) {
    const std::ptrdiff_t count = source->Read(buffer, sizeof buffer);
    if (count < 0) return std::nullopt;
    if (count == 0) return bytes;
    bytes.append(buffer, static_cast<std::size_t>(count));
  }
}

std::string FileName(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string DefaultFieldFilePath(const std::string& input) {
  return BuildPath(ParentFolderName(input), BaseName(input) + ".txt");
}

int RunConvertTool(const QStringList& arguments, Platform& platform, std::ostream& output,
                   std::ostream& errors) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Converts a Trimble JobXML (.jxl) or Leica GSI (.gsi) total-station file into the\n"
      "comma-delimited field file that quarrow and quarrow-adjust read.\n\n"
      "Exit status: 0 field file written; 2 usage or input error, nothing written.");
  const QCommandLineOption from("from", "Read INPUT as this format instead of recognising it.",
                                "jobxml|gsi");
  const QCommandLineOption field_file(
      "output", "Field file to write (default: INPUT's name with .txt, in its folder).",
      "FIELD_FILE");
  const QCommandLineOption force("force", "Replace an existing field file.");
  const QCommandLineOption units(
      "units", "Units of the field file (default: metric for JobXML, the file's own for GSI).",
      "metric|feet");
  const QCommandLineOption dos("dos", "Degree sign 248 and code page 437, for DOS programs.");
  const QCommandLineOption help({"h", "help"}, "Show this help and exit.");
  const QCommandLineOption version({"v", "version"}, "Show the version and exit.");
  parser.addOptions({from, field_file, force, units, dos, help, version});
  parser.addPositionalArgument("INPUT", "The JobXML or GSI file.");

  if (!parser.parse(arguments)) return UsageError(errors, Local8(parser.errorText()));
  if (parser.isSet(help)) {
    output << Local8(parser.helpText());
    return kConvertWritten;
  }
  if (parser.isSet(version)) {
    output << kProgram << ' ' << kVersionText << '\n';
    return kConvertWritten;
  }

  const QStringList files = parser.positionalArguments();
  if (files.size() != 1) return UsageError(errors, "name exactly one INPUT.");
  ConvertOptions options;
  if (parser.isSet(from)) {
    const QString value = parser.value(from);
    if (value == "jobxml") {
      options.from = SourceFormat::kJobXml;
    } else if (value == "gsi") {
      options.from = SourceFormat::kGsi;
    } else {
      return UsageError(errors, "--from must be jobxml or gsi, not '" + Local8(value) + "'.");
    }
  }
  if (parser.isSet(units)) {
    const QString value = parser.value(units);
    if (value == "metric") {
      options.units = UnitChoice::kMetric;
    } else if (value == "feet") {
      options.units = UnitChoice::kFeet;
    } else {
      return UsageError(errors, "--units must be metric or feet, not '" + Local8(value) + "'.");
    }
  }
  options.dos = parser.isSet(dos);

  const std::string input = QtPlatform::FromQString(files.first());
  if (!platform.FileExists(input)) return InputError(errors, input + ": no such file.");
  const std::string path = parser.isSet(field_file)
                               ? QtPlatform::FromQString(parser.value(field_file))
                               : DefaultFieldFilePath(input);
  if (path == input || platform.IsSameFile(input, path)) {
    return InputError(errors, path + " is the input itself; use --output to name the field file.");
  }
  if (platform.FileExists(path) && !parser.isSet(force)) {
    errors << kProgram << ": " << path << " exists.\n"
           << "Use --force to replace it; nothing was written.\n";
    return kConvertInputError;
  }

  const std::optional<std::string> bytes = ReadAll(platform, input);
  if (!bytes) return InputError(errors, input + ": the file cannot be read.");
  options.source_name = FileName(input);
  Conversion conversion;
  try {
    conversion = Convert(*bytes, options);
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
