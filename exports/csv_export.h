#pragma once

// The run's points as CSV, for CAD and GIS: one row for every mark line and
// side-shot line of the report, in the report's order. Numbers are the
// report's, rounded to three decimals as the report rounds them but never cut
// to a column, with "." whatever the locale. UTF-8, no byte-order mark,
// lines ending CR LF, fields quoted as RFC 4180 asks.

#include <string>
#include <string_view>

#include "exports/name_encoding.h"
#include "exports/run_export.h"

namespace quarrow {

inline constexpr std::string_view kCsvHeader =
    "name,role,setup,distance,raw_elevation,correction,adjusted_elevation";

// `field` as one CSV field: in double quotes, with each quote doubled, when
// it holds a comma, a double quote, CR or LF; otherwise as it is.
std::string CsvField(std::string_view field);
// CsvField's text appended to `out`.
void AppendCsvField(std::string& out, std::string_view field);

// "begin", "turn", "end" or "side".
std::string_view RoleName(PointRole role);

// The CSV columns of `point` after the header's, without the line end:
// name,role,setup,distance,raw_elevation,correction,adjusted_elevation.
void AppendCsvPoint(std::string& line, const RunPoint& point, NameEncoding encoding);

class CsvExport : public TextRunOutput {
 public:
  CsvExport(std::string path, std::unique_ptr<ReportSink> sink, NameEncoding encoding)
      : TextRunOutput(std::move(path), std::move(sink)), encoding_(encoding) {}
  void Begin(const ThirdOrderVerdict& verdict) override;
  void Point(const RunPoint& point) override;
  void Setup(const SetupSights&) override {}
  bool Finish() override { return Flush(true); }

 private:
  NameEncoding encoding_;
};

}  // namespace quarrow
