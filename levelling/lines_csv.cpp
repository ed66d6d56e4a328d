#include "levelling/lines_csv.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "convert/field_book.h"
#include "engine/messages.h"

namespace quarrow {

namespace {

void CheckName(const std::string& name, bool first_in_row, const LevelledLine& line) {
  if (name.find(',') != std::string::npos) {
    throw ConvertError(line.place + ": the point name \"" + name +
                       "\" holds a comma, which would split its row of the lines file; rename "
                       "the point in the instrument's file.");
  }
  if (first_in_row && name.starts_with('#')) {
    throw ConvertError(line.place + ": the point name \"" + name +
                       "\" starts with \"#\", which would make its row of the lines file a "
                       "comment; rename the point in the instrument's file.");
  }
}

std::string Count(std::int64_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::string FixedDecimals(double value, int decimals) {
  if (std::fabs(value) < 0.5 * std::pow(10.0, -decimals)) value = 0;
  // Room for the largest double's 309 digits, its sign and point, and the
  // decimals.
  std::string text(320 + static_cast<std::size_t>(std::max(decimals, 0)), '\0');
  const auto result = std::to_chars(text.data(), text.data() + text.size(), value,
                                    std::chars_format::fixed, decimals);
  text.resize(static_cast<std::size_t>(result.ptr - text.data()));
  return text;
}

std::string WriteLinesCsv(const LevelledFile& file, std::string_view source_name) {
  // The file name goes into a comment line: kept to printable ASCII, so that
  // no byte of it can end the line.
  std::string source;
  for (unsigned char c : source_name)
    source += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
  std::string csv = "# Converted by quarrow-convert from " + file.kind + " file " + source + "; ";
  csv +=
      file.units == Units::kFeet ? messages::kFieldFileUnitsFeet : messages::kFieldFileUnitsMetric;
  csv += "\r\nfrom,to,difference,length,standard_deviation,group\r\n";
  for (const LevelledLine& line : file.lines) {
    CheckName(line.from, true, line);
    CheckName(line.to, false, line);
    csv += line.from + "," + line.to + "," + FixedDecimals(line.difference, file.decimals) + "," +
           FixedDecimals(line.length, file.decimals) + ",,level\r\n";
  }
  return csv;
}

std::string LevelledSummaryText(const LevelledFile& file) {
  std::string out = "Levelled lines: " + std::to_string(file.lines.size()) + "\n";
  for (const LevelledLine& line : file.lines) {
    out += "  " + line.from + " to " + line.to + ": difference " +
           FixedDecimals(line.difference, file.decimals) + ", length " +
           FixedDecimals(line.length, file.decimals) + ", " +
           Count(line.setups, "setup", "setups") + " (from " + line.place + ")\n";
  }
  out += "Setups: " + std::to_string(file.setups) + "\n";
  out += "Backsight and foresight readings used: " + std::to_string(file.readings) + "\n";
  if (file.intermediate_sights > 0) {
    out += "Intermediate sights passed over: " + std::to_string(file.intermediate_sights) + "\n";
  }
  if (file.other_readings > 0) {
    out += "Other staff readings passed over: " + std::to_string(file.other_readings) +
           " (measure-only, set-out, single or check readings)\n";
  }
  if (file.repeated > 0) {
    out += "Readings dropped because they were repeated: " + std::to_string(file.repeated) + "\n";
  }
  if (file.flagged > 0) {
    out += "Records marked in error passed over: " + std::to_string(file.flagged) + "\n";
  }
  out += "Units: " + file.unit_name + " (differences and lengths as the file gives them)\n";
  return out;
}

}  // namespace quarrow
