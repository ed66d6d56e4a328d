#pragma once

// The whole adjustment as one JSON object (UTF-8), for programs downstream:
// the run's totals and tests, the FGCS orders it meets, then every point of
// the report with unrounded numbers in their shortest round-trip form.

#include <string>
#include <string_view>

#include "engine/platform.h"
#include "engine/run_state.h"
#include "exports/json_writer.h"
#include "exports/name_encoding.h"
#include "exports/run_export.h"

namespace quarrow {

// The keys of one point, "name" to "adjusted_elevation", without braces.
void AppendJsonPointKeys(std::string& out, const RunPoint& point, NameEncoding encoding);

class JsonExport : public TextRunOutput {
 public:
  // `rs` must outlive the export; its totals are read when the report begins.
  JsonExport(std::string path, std::unique_ptr<ReportSink> sink, const RunState& rs,
             NameEncoding encoding, CivilDate date)
      : TextRunOutput(std::move(path), std::move(sink)),
        rs_(rs),
        encoding_(encoding),
        date_(date) {}
  void Begin(const ThirdOrderVerdict& verdict) override;
  void Point(const RunPoint& point) override;
  void Setup(const SetupSights&) override {}
  bool Finish() override;

 private:
  const RunState& rs_;
  NameEncoding encoding_;
  CivilDate date_;
  bool first_point_ = true;
};

}  // namespace quarrow
