#include "network/lines_file.h"

#include "engine/data_fields.h"

namespace quarrow {

namespace {

bool IsGroupName(std::string_view name) {
  if (name.empty()) return false;
  for (const char c : name) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!letter && !(c >= '0' && c <= '9') && c != '-' && c != '_' && c != '.') return false;
  }
  return true;
}

}  // namespace

LinesFile ReadLinesFile(std::string_view bytes) {
  LinesFile file;
  bool first = true;
  ForEachDataLine(bytes, [&](int line_number, const std::vector<std::string_view>& fields) {
    const std::string where = "line " + std::to_string(line_number) + " of the lines file";
    const std::optional<double> difference =
        fields.size() >= 3 ? ReadDataNumber(fields[2]) : std::nullopt;
    if (first && fields.size() >= 3 && !difference) {
      first = false;  // the header
      return true;
    }
    first = false;
    if (fields.size() < 4 || fields.size() > 6) {
      file.error = where + " is not from,to,difference,length[,standard_deviation][,group].";
      return false;
    }
    ListedLine line;
    line.from = std::string(TrimBlanksAndTabs(fields[0]));
    line.to = std::string(TrimBlanksAndTabs(fields[1]));
    line.line = line_number;
    if (line.from.empty() || line.to.empty()) {
      file.error = where + " names no mark at its " + (line.from.empty() ? "start." : "end.");
      return false;
    }
    if (line.from == line.to) {
      file.error = where + " goes from " + line.from + " to itself.";
      return false;
    }
    if (!difference) {
      file.error = where + ": the difference is not a number.";
      return false;
    }
    line.difference = *difference;
    const std::optional<double> length = ReadDataNumber(fields[3]);
    if (!length || *length <= 0) {
      file.error = where + ": the length is not a positive number.";
      return false;
    }
    line.length = *length;
    if (fields.size() >= 5 && !TrimBlanksAndTabs(fields[4]).empty()) {
      line.std_dev = ReadDataNumber(fields[4]);
      if (!line.std_dev || *line.std_dev <= 0) {
        file.error = where + ": the standard deviation is not a positive number.";
        return false;
      }
    }
    line.group = std::string(kLevelGroup);
    if (fields.size() == 6 && !TrimBlanksAndTabs(fields[5]).empty()) {
      line.group = std::string(TrimBlanksAndTabs(fields[5]));
      if (!IsGroupName(line.group)) {
        file.error = where + ": the group \"" + line.group +
                     "\" is not a name of letters, digits, '-', '_' and '.'.";
        return false;
      }
    }
    file.lines.push_back(std::move(line));
    return true;
  });
  if (file.error.empty() && file.lines.empty()) file.error = "The lines file lists no line.";
  if (!file.error.empty()) file.lines.clear();  // nothing partial comes back
  return file;
}

}  // namespace quarrow
