#pragma once

// Every run's adjusted points in one export, run after run: the CSV gains a
// first column and each JSON point a first key naming the run's field file.
// Both stream into their files as the report pass tells the points.

#include <string>

#include "exports/name_encoding.h"
#include "exports/run_export.h"

namespace quarrow {

class NetworkPointOutput : public TextRunOutput {
 public:
  using TextRunOutput::TextRunOutput;
  // The run whose points come next, and the code page of its names.
  virtual void StartRun(const std::string& file, NameEncoding encoding) = 0;
  void Begin(const ThirdOrderVerdict&) override {}
  void Setup(const SetupSights&) override {}
};

// "run,name,role,..." and a row a point.
class NetworkCsvPoints : public NetworkPointOutput {
 public:
  NetworkCsvPoints(std::string path, std::unique_ptr<ReportSink> sink);
  void StartRun(const std::string& file, NameEncoding encoding) override;
  void Point(const RunPoint& point) override;
  bool Finish() override { return Flush(true); }

 private:
  std::string run_field_;
  NameEncoding encoding_ = NameEncoding::kWindows1252;
};

// The rest of the network's JSON document after `prologue`: its "points".
class NetworkJsonPoints : public NetworkPointOutput {
 public:
  NetworkJsonPoints(std::string path, std::unique_ptr<ReportSink> sink,
                    const std::string& prologue);
  void StartRun(const std::string& file, NameEncoding encoding) override;
  void Point(const RunPoint& point) override;
  bool Finish() override;

 private:
  std::string run_text_;
  NameEncoding encoding_ = NameEncoding::kWindows1252;
  bool first_point_ = true;
};

}  // namespace quarrow
