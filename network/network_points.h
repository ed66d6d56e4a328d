#pragma once

// Every run's adjusted points in one export, run after run: the CSV gains a
// first column and each JSON point a first key naming the run's field file.
// A run's points are made into text on whichever thread adjusts it
// (RunPointText) and handed to the exports in the runs' order.

#include <string>

#include "exports/name_encoding.h"
#include "exports/run_export.h"

namespace quarrow {

// One run's points as the network's exports write them.
class RunPointText : public RunListener {
 public:
  RunPointText(bool csv, bool json, const std::string& file, NameEncoding encoding);
  void Begin(const ThirdOrderVerdict&) override {}
  void Point(const RunPoint& point) override;
  void Setup(const SetupSights&) override {}
  bool Finish() override { return true; }

  const std::string& csv() const { return csv_; }
  // Each point after ",\n    ", as a point after the first is written.
  const std::string& json() const { return json_; }

 private:
  bool make_csv_;
  bool make_json_;
  std::string run_field_;  // the file as a CSV field
  std::string run_text_;   // the file as a JSON string
  NameEncoding encoding_;
  std::string csv_;
  std::string json_;
};

class NetworkPointOutput : public TextRunOutput {
 public:
  using TextRunOutput::TextRunOutput;
  // The next run's points.
  virtual void AppendRun(const RunPointText& points) = 0;
  void Begin(const ThirdOrderVerdict&) override {}
  void Point(const RunPoint&) override {}
  void Setup(const SetupSights&) override {}
};

// "run,name,role,..." and a row a point.
class NetworkCsvPoints : public NetworkPointOutput {
 public:
  NetworkCsvPoints(std::string path, std::unique_ptr<ReportSink> sink);
  void AppendRun(const RunPointText& points) override;
  bool Finish() override { return Flush(true); }
};

// The rest of the network's JSON document after `prologue`: its "points".
class NetworkJsonPoints : public NetworkPointOutput {
 public:
  NetworkJsonPoints(std::string path, std::unique_ptr<ReportSink> sink,
                    const std::string& prologue);
  void AppendRun(const RunPointText& points) override;
  bool Finish() override;

 private:
  bool first_point_ = true;
};

}  // namespace quarrow
