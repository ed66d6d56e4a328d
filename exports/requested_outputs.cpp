#include "exports/requested_outputs.h"

#include <memory>

#include "engine/error_box.h"
#include "engine/messages.h"
#include "exports/csv_export.h"
#include "exports/json_export.h"
#include "exports/name_encoding.h"

namespace quarrow {

bool AddRequestedOutputs(Platform& platform, const RunState& rs, const RequestedOutputs& requested,
                         MakeRunPicture make_picture, RunOutputs& outputs) {
  if (!requested.profile.empty() && make_picture != nullptr) {
    outputs.Add(std::unique_ptr<RunOutput>(make_picture(rs, requested.profile, platform.Today())));
  }
  if (requested.csv.empty() && requested.json.empty()) return true;
  const NameEncoding encoding = DetectNameEncoding(platform, rs.InputPath, rs.DegreeMark);
  const CivilDate today = platform.Today();
  const auto create = [&platform](const std::string& path) {
    std::string error;
    std::unique_ptr<ReportSink> sink = platform.CreateReport(path, error);
    if (!sink) ShowError(platform, {messages::kUnableToWriteOutput, path, error});
    return sink;
  };
  for (const std::string& path : requested.csv) {
    std::unique_ptr<ReportSink> sink = create(path);
    if (!sink) return false;
    outputs.Add(std::make_unique<CsvExport>(path, std::move(sink), encoding));
  }
  for (const std::string& path : requested.json) {
    std::unique_ptr<ReportSink> sink = create(path);
    if (!sink) return false;
    outputs.Add(std::make_unique<JsonExport>(path, std::move(sink), rs, encoding, today));
  }
  return true;
}

}  // namespace quarrow
