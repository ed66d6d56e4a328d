#include "exports/csv_export.h"

#include "engine/report_format.h"

namespace quarrow {

std::string CsvField(std::string_view field) {
  if (field.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(field);
  std::string quoted = "\"";
  for (const char c : field) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

std::string_view RoleName(PointRole role) {
  switch (role) {
    case PointRole::kBegin:
      return "begin";
    case PointRole::kTurn:
      return "turn";
    case PointRole::kEnd:
      return "end";
    case PointRole::kSide:
      return "side";
  }
  return "turn";
}

void AppendCsvPoint(std::string& line, const RunPoint& point, NameEncoding encoding) {
  line += CsvField(ToUtf8(point.name, encoding));
  line += ',';
  line += RoleName(point.role);
  line += ',';
  line += CsvField(ToUtf8(point.setup, encoding));
  for (const double value :
       {point.distance, point.raw_elevation, point.correction, point.adjusted_elevation}) {
    line += ',';
    line += FormatFixed3(value, ".");
  }
}

void CsvExport::Begin(std::int64_t) {
  Text() += kCsvHeader;
  Text() += "\r\n";
}

void CsvExport::Point(const RunPoint& point) {
  AppendCsvPoint(Text(), point, encoding_);
  Text() += "\r\n";
  Flush(false);
}

}  // namespace quarrow
