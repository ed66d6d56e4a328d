#include "office/marks_csv.h"

#include <charconv>

#include "engine/data_fields.h"
#include "network/marks_file.h"

namespace quarrow {

namespace {

std::string ShortestNumber(double value) {
  char text[64];
  const auto written = std::to_chars(text, text + sizeof text, value);
  return std::string(text, written.ptr);
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
  const MarksFile file = ReadMarksFile(bytes);
  if (!file.error.empty()) {
    error = file.error;
    return std::nullopt;
  }
  std::vector<ProjectMark> marks;
  for (const ListedMark& listed : file.marks) {
    ProjectMark mark;
    mark.name = listed.name;
    mark.elevation = listed.elevation;
    mark.std_dev = listed.std_dev;
    if (listed.position) {
      mark.easting = listed.position->easting;
      mark.northing = listed.position->northing;
    }
    marks.push_back(std::move(mark));
  }
  return marks;
}

std::string MarksCsv(const std::vector<ProjectMark>& marks) {
  bool positions = false;
  for (const ProjectMark& mark : marks) positions = positions || (mark.easting && mark.northing);
  std::string text = positions ? "name,elevation,standard_deviation,easting,northing\r\n"
                               : "name,elevation,standard_deviation\r\n";
  for (const ProjectMark& mark : marks) {
    if (!mark.elevation) continue;
    text += mark.name + "," + ShortestNumber(*mark.elevation);
    const std::string std_dev = mark.std_dev ? ShortestNumber(*mark.std_dev) : std::string();
    if (mark.easting && mark.northing) {
      text += "," + std_dev + "," + ShortestNumber(*mark.easting) + "," +
              ShortestNumber(*mark.northing);
    } else if (mark.std_dev) {
      text += "," + std_dev;
    }
    text += "\r\n";
  }
  return text;
}

}  // namespace quarrow
