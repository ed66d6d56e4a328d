#include "network/network_points.h"

#include "exports/csv_export.h"
#include "exports/json_export.h"
#include "exports/json_writer.h"

namespace quarrow {

NetworkCsvPoints::NetworkCsvPoints(std::string path, std::unique_ptr<ReportSink> sink)
    : NetworkPointOutput(std::move(path), std::move(sink)) {
  Text() += "run,";
  Text() += kCsvHeader;
  Text() += "\r\n";
}

void NetworkCsvPoints::StartRun(const std::string& file, NameEncoding encoding) {
  run_field_ = CsvField(file);
  encoding_ = encoding;
}

void NetworkCsvPoints::Point(const RunPoint& point) {
  std::string& out = Text();
  out += run_field_;
  out += ',';
  AppendCsvPoint(out, point, encoding_);
  out += "\r\n";
  Flush(false);
}

NetworkJsonPoints::NetworkJsonPoints(std::string path, std::unique_ptr<ReportSink> sink,
                                     const std::string& prologue)
    : NetworkPointOutput(std::move(path), std::move(sink)) {
  Text() += prologue;
}

void NetworkJsonPoints::StartRun(const std::string& file, NameEncoding encoding) {
  run_text_ = JsonText(file);
  encoding_ = encoding;
}

void NetworkJsonPoints::Point(const RunPoint& point) {
  std::string& out = Text();
  out += JsonDocument::ItemPrefix(first_point_);
  first_point_ = false;
  out += "{\"run\": ";
  out += run_text_;
  out += ", ";
  AppendJsonPointKeys(out, point, encoding_);
  out += '}';
  Flush(false);
}

bool NetworkJsonPoints::Finish() {
  Text() += JsonDocument::StreamEnd();
  return Flush(true);
}

}  // namespace quarrow
