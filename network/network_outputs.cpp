#include "network/network_outputs.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
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
#include "network/one_file_platform.h"

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

// Runs adjusted between their marks at a time: enough to keep every core
// busy, few enough that their points in memory stay small.
constexpr std::size_t kRunWindow = 256;

// Calls `body` for 0 to count - 1, shared out among `threads` threads (0: one
// a core), and returns when all are done.
template <typename Body>
void ForEachOnEveryCore(std::size_t count, int threads, const Body& body) {
  std::size_t workers = threads > 0 ? static_cast<std::size_t>(threads)
                                    : std::max(1u, std::thread::hardware_concurrency());
  workers = std::min(workers, count);
  std::atomic<std::size_t> next{0};
  const auto work = [&] {
    for (std::size_t i = next++; i < count; i = next++) body(i);
  };
  std::vector<std::thread> pool;
  for (std::size_t w = 1; w < workers; ++w) pool.emplace_back(work);
  work();
  for (std::thread& thread : pool) thread.join();
}

// One run adjusted between its network marks, on any thread.
struct AdjustedRun {
  bool done = false;
  std::unique_ptr<RunPointText> points;
  std::unique_ptr<ReportSink> report;    // parked, when run reports are written
  std::vector<MessageBoxSpec> messages;  // to be shown in the runs' order
};

class RunAdjuster {
 public:
  RunAdjuster(Platform& platform, const NetworkRequest& request, const Network& network,
              const NetworkResult& result, bool reports,
              const std::vector<NetworkPointOutput*>& exports)
      : platform_(platform),
        request_(request),
        network_(network),
        result_(result),
        reports_(reports),
        csv_(std::any_of(exports.begin(), exports.end(),
                         [](NetworkPointOutput* o) { return dynamic_cast<NetworkCsvPoints*>(o); })),
        json_(
            std::any_of(exports.begin(), exports.end(),
                        [](NetworkPointOutput* o) { return dynamic_cast<NetworkJsonPoints*>(o); })),
        lock_(platform.IsThreadSafe() ? nullptr : &mutex_) {}

  void Adjust(const RunRecord& run, AdjustedRun& adjusted) {
    try {
      adjusted.done = AdjustOne(run, adjusted);
    } catch (const std::bad_alloc&) {
      adjusted.done = false;
      adjusted.messages.push_back({std::string(m::kErrorTitle),
                                   "There is not enough memory to adjust the run:\r\n" + run.file,
                                   MessageIcon::kCritical, MessageButtons::kOk});
    }
  }

 private:
  bool AdjustOne(const RunRecord& run, AdjustedRun& adjusted) {
    OneFilePlatform one_file(platform_, lock_, adjusted.messages);
    RunState rs;
    PrepareRunState(rs, run, network_, request_,
                    result_.solution.elevation[static_cast<std::size_t>(run.from)],
                    result_.solution.elevation[static_cast<std::size_t>(run.to)]);
    const ClosureResult closure = RunClosurePass(rs, one_file);
    if (closure.status != ClosureStatus::kComputed) return false;
    const NameEncoding encoding = csv_ || json_
                                      ? DetectNameEncoding(one_file, run.file, run.degree_mark)
                                      : NameEncoding::kWindows1252;
    adjusted.points = std::make_unique<RunPointText>(csv_, json_, run.file, encoding);
    if (reports_) {
      std::string error;
      adjusted.report = one_file.CreateParkedReport(run.report_path, error);
      if (!adjusted.report) {
        ShowError(one_file, {m::kUnableToWriteReport, run.report_path, error});
        return false;
      }
    } else {
      adjusted.report = std::make_unique<DiscardedReport>();
    }
    const ReportStatus written = RunReportPass(rs, one_file, closure, *adjusted.report,
                                               csv_ || json_ ? adjusted.points.get() : nullptr);
    if (written == ReportStatus::kFieldFileChanged) return false;
    if (written == ReportStatus::kWriteFailed || !adjusted.report->Park()) {
      const std::string why = written == ReportStatus::kWriteFailed ? rs.OutFile.ErrorText()
                                                                    : adjusted.report->ErrorText();
      ShowError(one_file, {m::kUnableToWriteReport, run.report_path, why});
      return false;
    }
    return true;
  }

  Platform& platform_;
  const NetworkRequest& request_;
  const Network& network_;
  const NetworkResult& result_;
  bool reports_;
  bool csv_;
  bool json_;
  std::mutex mutex_;
  std::mutex* lock_;
};

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

  // Each run adjusted between its network marks by the engine's two passes,
  // on every core, a window of runs at a time; their points and messages
  // are taken in the runs' order, so the outputs are the same bytes however
  // many threads made them. A run report, once written, is parked: its file
  // waits, closed, for the moves at the end, so thousands of runs hold no
  // file open.
  std::vector<std::pair<std::string, std::unique_ptr<ReportSink>>> run_reports;
  if (files.run_reports || !exports.empty()) {
    std::vector<std::size_t> trig_runs;
    for (std::size_t r = 0; r < network.runs.size(); ++r) {
      if (network.runs[r].kind == ObservationKind::kTrigRun) trig_runs.push_back(r);
    }
    RunAdjuster adjuster(platform, request, network, result, files.run_reports, point_outputs);
    for (std::size_t start = 0; start < trig_runs.size(); start += kRunWindow) {
      const std::size_t end = std::min(trig_runs.size(), start + kRunWindow);
      std::vector<AdjustedRun> window(end - start);
      ForEachOnEveryCore(window.size(), request.threads, [&](std::size_t i) {
        adjuster.Adjust(network.runs[trig_runs[start + i]], window[i]);
      });
      for (std::size_t i = 0; i < window.size(); ++i) {
        AdjustedRun& adjusted = window[i];
        for (const MessageBoxSpec& box : adjusted.messages) platform.ShowMessage(box);
        if (!adjusted.done) return false;
        for (NetworkPointOutput* output : point_outputs) output->AppendRun(*adjusted.points);
        if (files.run_reports) {
          run_reports.emplace_back(network.runs[trig_runs[start + i]].report_path,
                                   std::move(adjusted.report));
        }
      }
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
