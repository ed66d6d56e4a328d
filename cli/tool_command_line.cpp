#include "cli/tool_command_line.h"

#include "engine/version.h"
#include "platform/qt_platform.h"

namespace quarrow {

namespace {

bool EndsWith(const QString& path, const char* extension) {
  return path.endsWith(QLatin1String(extension), Qt::CaseInsensitive);
}

}  // namespace

std::string Local8(const QString& text) { return text.toLocal8Bit().toStdString(); }

QCommandLineOption UnitsOption(const QString& description, const QString& values) {
  return QCommandLineOption("units", description, values);
}

QCommandLineOption ExportOption(const QString& description) {
  return QCommandLineOption("export", description, "FILE");
}

QCommandLineOption RefractionOption() {
  return QCommandLineOption("refraction",
                            "Correct every sight for curvature and refraction with "
                            "coefficient K (0 <= K < 1, usually 0.13).",
                            "K");
}

QCommandLineOption ForceOption(const QString& description) {
  return QCommandLineOption("force", description);
}

QCommandLineOption StrictOption(const QString& description) {
  return QCommandLineOption("strict", description);
}

ToolCommandLine::ToolCommandLine(const char* program, const QString& description,
                                 std::ostream& output, std::ostream& errors)
    : program_(program),
      output_(output),
      errors_(errors),
      help_(QStringList{"h", "help"}, "Show this help and exit."),
      version_(QStringList{"v", "version"}, "Show the version and exit.") {
  parser_.setApplicationDescription(description);
}

void ToolCommandLine::AddOptions(const QList<QCommandLineOption>& options,
                                 const QStringList& repeatable) {
  for (const QCommandLineOption& option : options) {
    parser_.addOption(option);
    if (!option.valueName().isEmpty() && !repeatable.contains(option.names().constLast())) {
      single_valued_.append(option);
    }
  }
}

void ToolCommandLine::AddPositional(const QString& name, const QString& description,
                                    const QString& syntax) {
  parser_.addPositionalArgument(name, description, syntax);
}

bool ToolCommandLine::Parse(const QStringList& arguments, int& status) {
  parser_.addOptions({help_, version_});
  if (!parser_.parse(arguments)) {
    status = UsageError(Local8(parser_.errorText()));
    return false;
  }
  if (parser_.isSet(help_)) {
    output_ << Local8(parser_.helpText());
    status = 0;
    return false;
  }
  if (parser_.isSet(version_)) {
    output_ << program_ << ' ' << kVersionText << '\n';
    status = 0;
    return false;
  }
  // The system hands over its arguments as bytes, which Qt reads as UTF-8;
  // bytes that are no UTF-8 (a name from an older system, "caf\xe9.txt")
  // become the replacement character, and the file would be looked for,
  // or written, under another name than the one given.
  for (const QString& argument : arguments) {
    if (!argument.contains(QChar::ReplacementCharacter)) continue;
    status = UsageError("'" + Local8(argument) +
                        "' is not valid UTF-8 text, so the file it names cannot be found or "
                        "written under that name; rename the file (or its folder) with UTF-8 "
                        "characters and try again.");
    return false;
  }
  // The parser keeps every value and hands out the last: "--units metric
  // ... --units feet" would quietly mean feet.
  for (const QCommandLineOption& option : single_valued_) {
    const QStringList values = parser_.values(option);
    if (values.size() > 1) {
      status = UsageError("--" + Local8(option.names().constLast()) + " is given " +
                          std::to_string(values.size()) + " times ('" +
                          Local8(values.join("', '")) + "'); give it once.");
      return false;
    }
  }
  return true;
}

int ToolCommandLine::UsageError(const std::string& problem) const {
  errors_ << program_ << ": " << problem << "\n"
          << "Try '" << program_ << " --help' for more information.\n";
  return kUsageErrorStatus;
}

bool ToolCommandLine::ReadUnits(const QCommandLineOption& option, std::optional<Units>& units,
                                const char* choices) const {
  units.reset();
  if (!parser_.isSet(option)) return true;
  const QString value = parser_.value(option);
  if (value == "feet") {
    units = Units::kFeet;
  } else if (value == "metric") {
    units = Units::kMetric;
  } else {
    UsageError("--units must be " + std::string(choices) + ", not '" + Local8(value) + "'.");
    return false;
  }
  return true;
}

bool ToolCommandLine::ReadExports(const QCommandLineOption& option, std::vector<std::string>& csv,
                                  std::vector<std::string>& json,
                                  std::vector<NamedFile>& named) const {
  for (const QString& path : parser_.values(option)) {
    if (EndsWith(path, ".csv")) {
      csv.push_back(QtPlatform::FromQString(path));
    } else if (EndsWith(path, ".json")) {
      json.push_back(QtPlatform::FromQString(path));
    } else {
      UsageError("--export must name a .csv or .json file, not '" + Local8(path) + "'.");
      return false;
    }
    named.push_back({"--export", QtPlatform::FromQString(path)});
  }
  return true;
}

bool ToolCommandLine::ReadRefraction(const QCommandLineOption& option, Platform& platform,
                                     std::optional<double>& k) const {
  k.reset();
  if (!parser_.isSet(option)) return true;
  double value = 0;
  if (!platform.ReadLocaleNumber(QtPlatform::FromQString(parser_.value(option)), value) ||
      value < 0 || value >= 1) {
    UsageError("--refraction must be a number from 0 up to 1 (not 1 itself), not '" +
               Local8(parser_.value(option)) + "'.");
    return false;
  }
  k = value;
  return true;
}

}  // namespace quarrow
