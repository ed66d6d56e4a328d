#include "network/network_points.h"

#include "exports/csv_export.h"
#include "exports/json_export.h"
#include "exports/json_writer.h"

namespace quarrow {

RunPointText::RunPointText(bool csv, bool json, const std::string& file, NameEncoding encoding)
    : make_csv_(csv),
      make_json_(json),
      run_field_(CsvField(file)),
      run_text_(JsonText(file)),
      encoding_(encoding) {}

void RunPointText::Point(const RunPoint& point) {
  if (make_csv_) {
    csv_ += run_field_;
    csv_ += ',';
    AppendCsvPoint(csv_, point, encoding_);
    csv_ += "\r\n";
  }
  if (make_json_) {
    json_ += JsonDocument::ItemPrefix(false);
    json_ += "{\"run\": ";
    json_ += run_text_;
    json_ += ", ";
    AppendJsonPointKeys(json_, point, encoding_);
    json_ += '}';
  }
}

NetworkCsvPoints::NetworkCsvPoints(std::string path, std::unique_ptr<ReportSink> sink)
    : NetworkPointOutput(std::move(path), std::move(sink)) {
  Text() += "run,";
  Text() += kCsvHeader;
  Text() += "\r\n";
}

void NetworkCsvPoints::AppendRun(const RunPointText& points) {
  Text() += points.csv();
  Flush(false);
}

NetworkJsonPoints::NetworkJsonPoints(std::string path, std::unique_ptr<ReportSink> sink,
                                     const std::string& prologue)
    : NetworkPointOutput(std::move(path), std::move(sink)) {
  Text() += prologue;
}

void NetworkJsonPoints::AppendRun(const RunPointText& points) {
  std::string_view json = points.json();
  if (json.empty()) return;
  if (first_point_) {
    json.remove_prefix(1);  // the very first point has no comma before it
    first_point_ = false;
  }
  Text() += json;
  Flush(false);
}

bool NetworkJsonPoints::Finish() {
  Text() += JsonDocument::StreamEnd();
  return Flush(true);
}

}  // namespace quarrow
