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
