#include "network/network_outputs.h"

#include <memory>
#include <utility>

#include "engine/closure_pass.h"
#include "engine/error_box.h"
#include "engine/messages.h"
#include "engine/report_pass.h"
#include "engine/run_state.h"
#include "exports/name_encoding.h"
#include "network/network_json.h"
#include "network/network_points.h"
#include "network/network_report.h"

namespace quarrow {

namespace m = messages;

namespace {

// Where a run's report goes when only its points are wanted.
class DiscardedReport : public ReportSink {
 public:
  bool Write(std::string_view) override { return true; }
  bool Commit() override { return true; }
  std::string ErrorText() const override { return ""; }
};

std::unique_ptr<ReportSink> CreateOutput(Platform& platform, const std::string& path) {
  std::string error;
  std::unique_ptr<ReportSink> sink = platform.CreateReport(path, error);
  if (!sink) ShowError(platform, {m::kUnableToWriteOutput, path, error});
  return sink;
}

}  // namespace

bool WriteNetworkOutputs(Platform& platform, const NetworkRequest& request, const Network& network,
                         const NetworkResult& result, const NetworkOutputFiles& files) {
  std::string error;
  std::unique_ptr<ReportSink> report = platform.CreateReport(files.report, error);
  if (!report) {
    ShowError(platform, {m::kUnableToWriteReport, files.report, error});
    return false;
  }
  if (!report->Write(NetworkReportText(platform, request, network, result, files.report))) {
    ShowError(platform, {m::kUnableToWriteReport, files.report, report->ErrorText()});
    return false;
  }

  // The point exports, told every run's points in turn.
  RunOutputs exports(platform);
  std::vector<NetworkPointOutput*> point_outputs;
  const auto add = [&](std::unique_ptr<NetworkPointOutput> output) {
    point_outputs.push_back(output.get());
    exports.Add(std::move(output));
  };
  for (const std::string& path : files.csv_exports) {
    std::unique_ptr<ReportSink> sink = CreateOutput(platform, path);
    if (!sink) return false;
    add(std::make_unique<NetworkCsvPoints>(path, std::move(sink)));
  }
  if (!files.json_exports.empty()) {
    const std::string prologue = NetworkJsonPrologue(request, network, result);
    for (const std::string& path : files.json_exports) {
      std::unique_ptr<ReportSink> sink = CreateOutput(platform, path);
      if (!sink) return false;
      add(std::make_unique<NetworkJsonPoints>(path, std::move(sink), prologue));
    }
  }

  // Each run adjusted between its network marks by the engine's two passes.
  // A run report, once written, is parked: its file waits, closed, for the
  // moves at the end, so thousands of runs hold no file open.
  std::vector<std::pair<std::string, std::unique_ptr<ReportSink>>> run_reports;
  if (files.run_reports || !exports.empty()) {
    for (const RunRecord& run : network.runs) {
      if (run.kind != ObservationKind::kTrigRun) continue;  // a levelled line has no report
      RunState rs;
      PrepareRunState(rs, run, network, request,
                      result.solution.elevation[static_cast<std::size_t>(run.from)],
                      result.solution.elevation[static_cast<std::size_t>(run.to)]);
      const ClosureResult closure = RunClosurePass(rs, platform);
      if (closure.status != ClosureStatus::kComputed) return false;
      const NameEncoding encoding = exports.empty()
                                        ? NameEncoding::kWindows1252
                                        : DetectNameEncoding(platform, run.file, run.degree_mark);
      for (NetworkPointOutput* output : point_outputs) output->StartRun(run.file, encoding);
      std::unique_ptr<ReportSink> sink;
      if (files.run_reports) {
        std::string error;
        sink = platform.CreateParkedReport(run.report_path, error);
        if (!sink) {
          ShowError(platform, {m::kUnableToWriteReport, run.report_path, error});
          return false;
        }
      } else {
        sink = std::make_unique<DiscardedReport>();
      }
      const ReportStatus written =
          RunReportPass(rs, platform, closure, *sink, exports.empty() ? nullptr : &exports);
      if (written == ReportStatus::kFieldFileChanged) return false;
      if (written == ReportStatus::kWriteFailed || !sink->Park()) {
        const std::string why =
            written == ReportStatus::kWriteFailed ? rs.OutFile.ErrorText() : sink->ErrorText();
        ShowError(platform, {m::kUnableToWriteReport, run.report_path, why});
        return false;
      }
      if (files.run_reports) run_reports.emplace_back(run.report_path, std::move(sink));
    }
  }
  if (!exports.Finish()) return false;  // shows the failure; nothing moves
  for (NetworkSideOutput* output : files.side_outputs) {
    if (!output->Write()) {
      ShowError(platform, {m::kUnableToWriteOutput, output->path(), output->ErrorText()});
      return false;
    }
  }

  // All complete: move them into place, the run reports first, the
  // network report last.
  for (auto& [path, sink] : run_reports) {
    if (!sink->Commit()) {
      ShowError(platform, {m::kUnableToWriteReport, path, sink->ErrorText()});
      return false;
    }
  }
  if (!exports.Commit()) return false;
  for (NetworkSideOutput* output : files.side_outputs) {
    if (!output->Commit()) {
      ShowError(platform, {m::kUnableToWriteOutput, output->path(), output->ErrorText()});
      return false;
    }
  }
  if (!report->Commit()) {
    ShowError(platform, {m::kUnableToWriteReport, files.report, report->ErrorText()});
    return false;
  }
  return true;
}

}  // namespace quarrow
