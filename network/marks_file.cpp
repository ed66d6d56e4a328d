#include "network/marks_file.h"

#include <unordered_map>

#include "engine/data_fields.h"

namespace quarrow {

MarksFile ReadMarksFile(std::string_view bytes) {
  MarksFile file;
  std::unordered_map<std::string, int> seen;
  bool first = true;
  ForEachDataLine(bytes, [&](int line_number, const std::vector<std::string_view>& fields) {
    const std::string where = "line " + std::to_string(line_number) + " of the marks file";
    const std::optional<double> elevation =
        fields.size() >= 2 ? ReadDataNumber(fields[1]) : std::nullopt;
    if (first && fields.size() >= 2 && !elevation) {
      first = false;  // the header
      return true;
    }
    first = false;
    if (fields.size() != 2 && fields.size() != 3 && fields.size() != 5) {
      file.error = where +
                   " is not name,elevation or name,elevation,standard_deviation "
                   "(then easting,northing).";
      return false;
    }
    ListedMark mark;
    mark.name = std::string(TrimBlanksAndTabs(fields[0]));
    mark.line = line_number;
    if (mark.name.empty()) {
      file.error = where + " names no mark.";
      return false;
    }
    if (!elevation) {
      file.error = where + ": the elevation of " + mark.name + " is not a number.";
      return false;
    }
    mark.elevation = *elevation;
    // With a position the standard deviation may be left empty: held fixed.
    if (fields.size() >= 3 && !(fields.size() == 5 && TrimBlanksAndTabs(fields[2]).empty())) {
      mark.std_dev = ReadDataNumber(fields[2]);
      if (!mark.std_dev || *mark.std_dev <= 0) {
        file.error =
            where + ": the standard deviation of " + mark.name + " is not a positive number.";
        return false;
      }
    }
    if (fields.size() == 5) {
      const std::optional<double> easting = ReadDataNumber(fields[3]);
      const std::optional<double> northing = ReadDataNumber(fields[4]);
      if (!easting || !northing) {
        file.error = where + ": the easting and northing of " + mark.name + " are not numbers.";
        return false;
      }
      mark.position = MarkPosition{*easting, *northing};
    }
    const auto [previous, inserted] = seen.emplace(mark.name, line_number);
    if (!inserted) {
      file.error = "The mark " + mark.name + " is listed twice in the marks file (lines " +
                   std::to_string(previous->second) + " and " + std::to_string(line_number) + ").";
      return false;
    }
    file.marks.push_back(std::move(mark));
    return true;
  });
  if (file.error.empty() && file.marks.empty()) file.error = "The marks file lists no mark.";
  if (!file.error.empty()) file.marks.clear();  // nothing partial comes back
  return file;
}

}  // namespace quarrow
