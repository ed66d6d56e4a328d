#include "cli/command_line_answers.h"

namespace quarrow {

std::string WithLineFeeds(const std::string& text) {
  std::string lines;
  lines.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    lines += text[i];
  }
  return lines;
}

void PrintWarnings(std::ostream& errors, const std::string& path, const FieldFileChecker& checker) {
  for (const FieldFileWarning& warning : checker.warnings()) {
    errors << path << ':' << warning.line << ": warning: " << warning.text << '\n';
  }
  const auto more = checker.warning_count() - static_cast<std::int64_t>(checker.warnings().size());
  if (more > 0) errors << path << ": " << more << " more warnings\n";
  errors.flush();
}

bool CommandLineAnswers::WriteDespiteWarnings(const std::string& path,
                                              const FieldFileChecker& checker) {
  PrintWarnings(errors_, path, checker);
  if (choices_.strict) {
    errors_ << path << ": " << checker.warning_count()
            << (checker.warning_count() == 1 ? " warning" : " warnings")
            << "; nothing was written (--strict).\n";
  }
  return !choices_.strict;
}

bool CommandLineAnswers::MayReplace(const std::string& path, const std::string&) {
  if (choices_.force) return true;
  errors_ << path << " exists.\n"
          << "Use --force to overwrite it; nothing was written.\n";
  errors_.flush();
  return false;
}

bool CommandLineAnswers::WriteDespiteFailures(const std::string&, const std::string& failures) {
  errors_ << WithLineFeeds(failures) << '\n';
  errors_.flush();
  return !choices_.strict;
}

}  // namespace quarrow
