#include "shell/command_line.h"

#include "shell/check_input_file.h"

namespace quarrow {

std::string TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return "";
  const std::size_t last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

void StartFromCommandLine(RunState& rs, Platform& platform, std::string_view argument) {
  InitialiseFrames(rs);
  const std::string field_file = TrimBlanks(argument);
  if (field_file.empty()) return;
  rs.InputPath = field_file;
  CheckInputFile(rs, platform, CheckMode::kCheckAndDerive);
}

}  // namespace quarrow
