#include "network/marks_file.h"

#include <unordered_map>

#include "engine/data_fields.h"

namespace quarrow {

MarksFile ReadMarksFile(std::string_view bytes) {
  MarksFile file;
  std::unordered_map<std::string, int> seen;
  bool first = true;
  int line_number = 0;
  std::size_t position = 0;
  // A byte-order mark before the first name is the editor's, not the name's.
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") position = 3;
  while (position < bytes.size()) {
    std::size_t end = bytes.find('\n', position);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(position, end - position);
    position = end + 1;
    ++line_number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (TrimBlanksAndTabs(line).empty() || TrimBlanksAndTabs(line).front() == '#') continue;

    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
      const std::size_t comma = line.find(',', start);
      fields.push_back(
          line.substr(start, comma == std::string_view::npos ? line.npos : comma - start));
      if (comma == std::string_view::npos) break;
      start = comma + 1;
    }
    const std::string where = "line " + std::to_string(line_number) + " of the marks file";
    const std::optional<double> elevation =
        fields.size() >= 2 ? ReadDataNumber(fields[1]) : std::nullopt;
    if (first && fields.size() >= 2 && !elevation) {
      first = false;  // the header
      continue;
    }
    first = false;
    if (fields.size() < 2 || fields.size() > 3) {
      file.error = where + " is not name,elevation or name,elevation,standard_deviation.";
      return file;
    }
    ListedMark mark;
    mark.name = std::string(TrimBlanksAndTabs(fields[0]));
    mark.line = line_number;
    if (mark.name.empty()) {
      file.error = where + " names no mark.";
      return file;
    }
    if (!elevation) {
      file.error = where + ": the elevation of " + mark.name + " is not a number.";
      return file;
    }
    mark.elevation = *elevation;
    if (fields.size() == 3) {
      mark.std_dev = ReadDataNumber(fields[2]);
      if (!mark.std_dev || *mark.std_dev <= 0) {
        file.error =
            where + ": the standard deviation of " + mark.name + " is not a positive number.";
        return file;
      }
    }
    const auto [previous, inserted] = seen.emplace(mark.name, line_number);
    if (!inserted) {
      file.error = "The mark " + mark.name + " is listed twice in the marks file (lines " +
                   std::to_string(previous->second) + " and " + std::to_string(line_number) + ").";
      return file;
    }
    file.marks.push_back(std::move(mark));
  }
  if (file.marks.empty()) file.error = "The marks file lists no mark.";
  return file;
}

}  // namespace quarrow
