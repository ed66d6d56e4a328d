#include "office/marks_csv.h"

#include <charconv>
#include <set>
#include <tuple>

#include "engine/data_fields.h"

namespace quarrow {

namespace {

std::string ShortestNumber(double value) {
  char text[64];
  const auto written = std::to_chars(text, text + sizeof text, value);
  return std::string(text, written.ptr);
}

std::vector<std::string_view> SplitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (std::size_t start = 0;;) {
    const std::size_t comma = line.find(',', start);
    fields.push_back(
        line.substr(start, comma == std::string_view::npos ? line.npos : comma - start));
    if (comma == std::string_view::npos) return fields;
    start = comma + 1;
  }
}

}  // namespace

std::string MarkNameProblem(const std::string& name) {
  if (TrimBlanksAndTabs(name).empty()) return "A mark needs a name.";
  if (name.find(',') != std::string::npos) {
    return "A mark name cannot hold a comma: " + name + " (the marks file separates by commas).";
  }
  if (name.find_first_of("\r\n") != std::string::npos) return "A mark name is one line.";
  return "";
}

std::optional<std::vector<ProjectMark>> ReadMarksCsv(std::string_view bytes, std::string& error) {
  std::vector<ProjectMark> marks;
  std::set<std::string> seen;
  bool first = true;
  int line_number = 0;
  std::size_t position = bytes.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
  while (position < bytes.size()) {
    std::size_t end = bytes.find('\n', position);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(position, end - position);
    position = end + 1;
    ++line_number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (TrimBlanksAndTabs(line).empty() || TrimBlanksAndTabs(line).front() == '#') continue;
    const std::vector<std::string_view> fields = SplitFields(line);
    const std::string where = "line " + std::to_string(line_number) + " of the marks file";
    const std::optional<double> elevation =
        fields.size() >= 2 ? ReadDataNumber(fields[1]) : std::nullopt;
    if (first && fields.size() >= 2 && !elevation) {
      first = false;  // the header
      continue;
    }
    first = false;
    if (fields.size() != 2 && fields.size() != 3 && fields.size() != 5) {
      error = where +
              " is not name,elevation[,standard_deviation] or "
              "name,elevation,standard_deviation,easting,northing.";
      return std::nullopt;
    }
    ProjectMark mark;
    mark.name = std::string(TrimBlanksAndTabs(fields[0]));
    if (mark.name.empty()) {
      error = where + " names no mark.";
      return std::nullopt;
    }
    if (!elevation) {
      error = where + ": the elevation of " + mark.name + " is not a number.";
      return std::nullopt;
    }
    mark.elevation = elevation;
    // With a position, an empty standard deviation holds the mark fixed.
    if (fields.size() >= 3 && !(fields.size() == 5 && TrimBlanksAndTabs(fields[2]).empty())) {
      mark.std_dev = ReadDataNumber(fields[2]);
      if (!mark.std_dev || *mark.std_dev <= 0) {
        error = where + ": the standard deviation of " + mark.name + " is not a positive number.";
        return std::nullopt;
      }
    }
    if (fields.size() == 5) {
      // Either may be left empty; what is given must be a number.
      for (const auto& [field, value, what] : {std::tuple{fields[3], &mark.easting, "easting"},
                                               std::tuple{fields[4], &mark.northing, "northing"}}) {
        if (TrimBlanksAndTabs(field).empty()) continue;
        *value = ReadDataNumber(field);
        if (!*value) {
          error = where + ": the " + what + " of " + mark.name + " is not a number.";
          return std::nullopt;
        }
      }
    }
    if (!seen.insert(mark.name).second) {
      error = "The mark " + mark.name + " is listed twice in the marks file (again on line " +
              std::to_string(line_number) + ").";
      return std::nullopt;
    }
    marks.push_back(std::move(mark));
  }
  if (marks.empty()) {
    error = "The marks file lists no mark.";
    return std::nullopt;
  }
  return marks;
}

std::string MarksCsv(const std::vector<ProjectMark>& marks) {
  bool positions = false;
  for (const ProjectMark& mark : marks) positions = positions || mark.easting || mark.northing;
  std::string text = positions ? "name,elevation,standard_deviation,easting,northing\r\n"
                               : "name,elevation,standard_deviation\r\n";
  for (const ProjectMark& mark : marks) {
    if (!mark.elevation) continue;
    text += mark.name + "," + ShortestNumber(*mark.elevation);
    if (positions) {
      text += "," + (mark.std_dev ? ShortestNumber(*mark.std_dev) : std::string());
      text += "," + (mark.easting ? ShortestNumber(*mark.easting) : std::string());
      text += "," + (mark.northing ? ShortestNumber(*mark.northing) : std::string());
    } else if (mark.std_dev) {
      text += "," + ShortestNumber(*mark.std_dev);
    }
    text += "\r\n";
  }
  return text;
}

}  // namespace quarrow
