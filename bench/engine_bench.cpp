// Micro-benchmarks of the engine on synthetic runs held in memory: the field
// file reader, the reduction of one line, the report's number formatting,
// and both passes. Run with --benchmark_filter=... to pick some.

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

#include "bench/field_file_generator.h"
#include "bench/memory_platform.h"
#include "engine/closure_pass.h"
#include "engine/field_file.h"
#include "engine/messages.h"
#include "engine/reduction.h"
#include "engine/report_format.h"
#include "engine/report_pass.h"
#include "engine/run_state.h"
#include "shell/adjust_level_run.h"

namespace quarrow::bench {
namespace {

constexpr const char* kFieldPath = "/runs/run.txt";
constexpr const char* kReportPath = "/runs/run.adj";

struct GeneratedFile {
  std::string text;
  BenchMarks marks;
};

// Generated once per size and seed for the whole program.
const GeneratedFile& Generated(std::int64_t setups) {
  static std::map<std::int64_t, GeneratedFile> cache;
  GeneratedFile& file = cache[setups];
  if (file.text.empty()) {
    FieldFileOptions options;
    options.setups = setups;
    options.seed = 20261207;
    file.text = FieldFileText(options, &file.marks);
  }
  return file;
}

// The observation lines of a generated run, without their line ends.
std::vector<std::string> ObservationLines(std::int64_t setups) {
  std::vector<std::string> lines;
  const std::string& text = Generated(setups).text;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

// A platform holding the run of `setups`, and a RunState ready to adjust it
// as the window leaves it after the user pressed Adjust.
struct Bench {
  MemoryPlatform platform;
  RunState rs;

  explicit Bench(std::int64_t setups) {
    const GeneratedFile& file = Generated(setups);
    platform.AddFile(kFieldPath, file.text);
    InitialiseFrames(rs);
    rs.InputPath = kFieldPath;
    rs.ReportPath = kReportPath;
    rs.BeginElev = file.marks.begin_elev;
    rs.EndElev = file.marks.end_elev;
    rs.UnitsLabel = messages::kMetricUnits;
    rs.UnitMark = 'm';
    rs.DegreeMark = '\xb0';
  }
  std::size_t FieldBytes() const { return platform.shared_files.at(kFieldPath)->size(); }
};

void BM_FieldFileStream(benchmark::State& state) {
  Bench bench(state.range(0));
  std::string line;
  std::int64_t lines = 0;
  for (auto _ : state) {
    FieldFileStream stream;
    stream.Open(bench.platform.OpenForReading(kFieldPath));
    stream.FetchObservation(bench.rs.DegreeMark);
    while (stream.TakeObservation(line, bench.rs.DegreeMark)) ++lines;
    benchmark::DoNotOptimize(stream.Checksum());
  }
  state.SetItemsProcessed(lines);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bench.FieldBytes()));
}
BENCHMARK(BM_FieldFileStream)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_OpenFieldFile(benchmark::State& state) {
  Bench bench(state.range(0));
  for (auto _ : state) {
    OpenFieldFile(bench.rs, bench.platform);
    bench.rs.InFile.Close();
    benchmark::DoNotOptimize(bench.rs.FileState);
  }
}
BENCHMARK(BM_OpenFieldFile)->Arg(2)->Arg(500);

void BM_SkipToObservation(benchmark::State& state) {
  Bench bench(state.range(0));
  std::int64_t lines = 0;
  for (auto _ : state) {
    OpenFieldFile(bench.rs, bench.platform);
    while (SkipToObservation(bench.rs)) ++lines;
    bench.rs.InFile.Close();
  }
  state.SetItemsProcessed(lines);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bench.FieldBytes()));
}
BENCHMARK(BM_SkipToObservation)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_NextField(benchmark::State& state) {
  Bench bench(1);
  const std::vector<std::string> lines = ObservationLines(1000);
  std::size_t i = 0;
  for (auto _ : state) {
    bench.rs.LineBuffer = lines[i];
    for (int field = 0; field < 5; ++field) benchmark::DoNotOptimize(NextField(bench.rs));
    if (++i == lines.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations() * 5);
}
BENCHMARK(BM_NextField);

// Both readings, each from a line with its setup identifier taken off.
template <void (*Read)(RunState&)>
void BM_Reduce(benchmark::State& state) {
  Bench bench(1);
  const std::vector<std::string> lines = ObservationLines(1000);
  std::size_t i = 0;
  for (auto _ : state) {
    bench.rs.LineBuffer = lines[i];
    bench.rs.SetupId = NextField(bench.rs);
    Read(bench.rs);
    benchmark::DoNotOptimize(bench.rs.Hi + bench.rs.Elev);
    if (++i == lines.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Reduce<ReadBacksight>)->Name("BM_ReadBacksight");
BENCHMARK(BM_Reduce<ReadForesight>)->Name("BM_ReadForesight");

// The readings a report line formats: distances, signed differences,
// rod heights and elevations, in their report widths.
void BM_FormatReading(benchmark::State& state) {
  Bench bench(1);
  std::vector<std::pair<double, int>> readings;
  for (const std::string& line : ObservationLines(1000)) {
    bench.rs.LineBuffer = line;
    NextField(bench.rs);
    ReadForesight(bench.rs);
    readings.insert(readings.end(), {{bench.rs.FsHd, 9},
                                     {bench.rs.FsVd, -9},
                                     {bench.rs.FsSh, 9},
                                     {bench.rs.FsVd * 1e-3, -8},
                                     {bench.rs.Elev + 300, 10}});
  }
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(FormatReading(readings[i].first, readings[i].second));
    if (++i == readings.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormatReading);

void BM_RunClosurePass(benchmark::State& state) {
  Bench bench(state.range(0));
  for (auto _ : state) {
    const ClosureResult closure = RunClosurePass(bench.rs, bench.platform);
    benchmark::DoNotOptimize(closure.verdict.bad_turns);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bench.FieldBytes()));
}
BENCHMARK(BM_RunClosurePass)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_RunReportPass(benchmark::State& state) {
  Bench bench(state.range(0));
  const ClosureResult closure = RunClosurePass(bench.rs, bench.platform);
  if (closure.status != ClosureStatus::kComputed) state.SkipWithError("closure pass failed");
  // Once before timing, so that the in-memory report has grown to size.
  std::string error;
  std::unique_ptr<ReportSink> report = bench.platform.CreateReport(kReportPath, error);
  RunReportPass(bench.rs, bench.platform, closure, *report);
  for (auto _ : state) {
    report = bench.platform.CreateReport(kReportPath, error);
    if (RunReportPass(bench.rs, bench.platform, closure, *report) != ReportStatus::kWritten ||
        !report->Commit()) {
      state.SkipWithError("report pass failed");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetBytesProcessed(
      static_cast<std::int64_t>(state.iterations() * bench.platform.reports[kReportPath].size()));
}
BENCHMARK(BM_RunReportPass)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_AdjustLevelRun(benchmark::State& state) {
  Bench bench(state.range(0));
  for (auto _ : state) {
    const AdjustOutcome outcome = AdjustLevelRun(bench.rs, bench.platform);
    if (outcome != AdjustOutcome::kMeetsSpecifications) {
      state.SkipWithError("the generated run does not meet third order");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_AdjustLevelRun)->Arg(500)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quarrow::bench

BENCHMARK_MAIN();
