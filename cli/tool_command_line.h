#pragma once

// The front door that quarrow-adjust, quarrow-network and quarrow-convert
// share: their options parsed by one parser, --help and --version answered
// alike, the options they have in common read alike, and every usage error
// said alike ("PROGRAM: problem", where help is, exit status 2).

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/output_files.h"
#include "engine/platform.h"
#include "engine/units.h"

namespace quarrow {

// The exit status of a usage error, in every tool.
inline constexpr int kUsageErrorStatus = 2;

class ToolCommandLine {
 public:
  // `description` is the help text's paragraph about the tool.
  ToolCommandLine(const char* program, const QString& description, std::ostream& output,
                  std::ostream& errors);

  const char* program() const { return program_; }

  // The tool's own options, and those it shares with others (made by the
  // functions below so that each reads the same in every tool). An option
  // with a value may be given once, unless it is named in `repeatable`.
  void AddOptions(const QList<QCommandLineOption>& options,
                  const QStringList& repeatable = QStringList());
  void AddPositional(const QString& name, const QString& description, const QString& syntax = "");

  // Parses `arguments` (the program name first). False when the tool should
  // end at once with `status`: after --help or --version (0), or after a
  // usage error it has printed (2), an option given twice among them.
  bool Parse(const QStringList& arguments, int& status);

  bool IsSet(const QCommandLineOption& option) const { return parser_.isSet(option); }
  QString Value(const QCommandLineOption& option) const { return parser_.value(option); }
  QStringList Values(const QCommandLineOption& option) const { return parser_.values(option); }
  QStringList Positional() const { return parser_.positionalArguments(); }

  // Prints "PROGRAM: problem" and where help is; returns 2.
  int UsageError(const std::string& problem) const;

  // --units: none when not given. False, with the usage error printed, for
  // a value other than feet or metric (`choices` as the tool words them).
  bool ReadUnits(const QCommandLineOption& option, std::optional<Units>& units,
                 const char* choices = "feet or metric") const;
  // --export: each file by its extension, in any letter case, and named in
  // `named` for the same-file test. False, with the usage error printed, for
  // a file that is neither .csv nor .json.
  bool ReadExports(const QCommandLineOption& option, std::vector<std::string>& csv,
                   std::vector<std::string>& json, std::vector<NamedFile>& named) const;
  // --refraction K, read with the locale's number conversion: none when not
  // given. False, with the usage error printed, unless 0 <= K < 1.
  bool ReadRefraction(const QCommandLineOption& option, Platform& platform,
                      std::optional<double>& k) const;

 private:
  const char* program_;
  std::ostream& output_;
  std::ostream& errors_;
  QCommandLineParser parser_;
  QList<QCommandLineOption> single_valued_;
  QCommandLineOption help_;
  QCommandLineOption version_;
};

// The shared options, each with its name and value as every tool shows it.
QCommandLineOption UnitsOption(const QString& description, const QString& values = "feet|metric");
QCommandLineOption ExportOption(const QString& description);
QCommandLineOption RefractionOption();
QCommandLineOption ForceOption(const QString& description);
QCommandLineOption StrictOption(const QString& description);

// `text` as the system's 8-bit bytes, for messages on the console.
std::string Local8(const QString& text);

}  // namespace quarrow
