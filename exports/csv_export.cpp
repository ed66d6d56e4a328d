#include "exports/csv_export.h"

#include "engine/report_format.h"

namespace quarrow {

void AppendCsvField(std::string& out, std::string_view field) {
  if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
    out += field;
    return;
  }
  out += '"';
  for (const char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

std::string CsvField(std::string_view field) {
  std::string out;
  AppendCsvField(out, field);
  return out;
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

namespace {

// A name or setup in UTF-8 as one CSV field. Converting into a scratch
// string kept between calls spares an allocation for each of millions of
// points.
void AppendTextField(std::string& line, std::string_view text, NameEncoding encoding) {
  thread_local std::string utf8;
  utf8.clear();
  AppendUtf8Text(utf8, text, encoding);
  AppendCsvField(line, utf8);
}

}  // namespace

void AppendCsvPoint(std::string& line, const RunPoint& point, NameEncoding encoding) {
  AppendTextField(line, point.name, encoding);
  line += ',';
  line += RoleName(point.role);
  line += ',';
  AppendTextField(line, point.setup, encoding);
  for (const double value :
       {point.distance, point.raw_elevation, point.correction, point.adjusted_elevation}) {
    line += ',';
    AppendFixed3(line, value, ".");
  }
}

void CsvExport::Begin(const ThirdOrderVerdict&) {
  Text() += kCsvHeader;
  Text() += "\r\n";
}

void CsvExport::Point(const RunPoint& point) {
  AppendCsvPoint(Text(), point, encoding_);
  Text() += "\r\n";
  Flush(false);
}

}  // namespace quarrow
