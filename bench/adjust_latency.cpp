// quarrow-adjust-latency: how long the user waits after pressing Adjust.
// Times what the Adjust handler runs on a real field file through the Qt
// platform, from the call to the report closed and moved into place:
// AdjustLevelRun alone, and the check of the field file before it.
//
//   quarrow-adjust-latency --begin ELEV --end ELEV --units feet|metric
//                          [--runs N] FIELD_FILE
//
// Prints one line per measure: median, 90th percentile and worst, in ms.

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/messages.h"
#include "engine/run_state.h"
#include "platform/qt_platform.h"
#include "shell/adjust_level_run.h"
#include "shell/check_input_file.h"

namespace {

// The window's platform without a desktop: boxes go to stderr and are
// answered OK, and no viewer is started.
class LatencyPlatform : public quarrow::QtPlatform {
 public:
  quarrow::MessageAnswer ShowMessage(const quarrow::MessageBoxSpec& box) override {
    std::fprintf(stderr, "%s: %s\n", box.title.c_str(), box.text.c_str());
    return box.buttons == quarrow::MessageButtons::kYesNo ? quarrow::MessageAnswer::kYes
                                                          : quarrow::MessageAnswer::kOk;
  }
  bool LaunchViewer(const std::string&) override { return true; }
};

void PrintTimes(const char* what, std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  const auto at = [&ms](double fraction) {
    return ms[static_cast<std::size_t>(fraction * static_cast<double>(ms.size() - 1))];
  };
  std::printf("%-28s median %.2f ms  p90 %.2f ms  max %.2f ms  (%zu runs)\n", what, at(0.5),
              at(0.9), ms.back(), ms.size());
}

int Usage() {
  std::fputs(
      "usage: quarrow-adjust-latency --begin ELEV --end ELEV --units feet|metric [--runs N] "
      "FIELD_FILE\n",
      stderr);
  return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  double begin = 0;
  double end = 0;
  bool feet = true;
  int runs = 200;
  std::string field;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--begin" && i + 1 < argc) {
      begin = std::stod(argv[++i]);
    } else if (arg == "--end" && i + 1 < argc) {
      end = std::stod(argv[++i]);
    } else if (arg == "--units" && i + 1 < argc) {
      feet = std::string(argv[++i]) == "feet";
    } else if (arg == "--runs" && i + 1 < argc) {
      runs = std::max(1, std::stoi(argv[++i]));
    } else if (field.empty() && arg[0] != '-') {
      field = arg;
    } else {
      return Usage();
    }
  }
  if (field.empty()) return Usage();

  LatencyPlatform platform;
  quarrow::RunState rs;
  quarrow::InitialiseFrames(rs);
  rs.InputPath = field;
  if (quarrow::CheckInputFile(rs, platform, quarrow::CheckMode::kCheckAndDerive) !=
      quarrow::kFileUsable) {
    return 1;
  }
  rs.BeginElev = begin;
  rs.EndElev = end;
  quarrow::StoreUnits(rs, feet ? quarrow::Units::kFeet : quarrow::Units::kMetric);
  quarrow::MessageBoxQuestions questions(platform);

  using Clock = std::chrono::steady_clock;
  const auto since = [](Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  };
  std::vector<double> adjust;
  std::vector<double> handler;
  // The first runs warm the page cache and the allocator, as the user's
  // earlier Adjust presses would have.
  for (int i = -3; i < runs; ++i) {
    Clock::time_point start = Clock::now();
    if (quarrow::AdjustLevelRun(rs, platform, questions) == quarrow::AdjustOutcome::kFailed)
      return 1;
    if (i >= 0) adjust.push_back(since(start));

    start = Clock::now();
    quarrow::CheckInputFile(rs, platform, quarrow::CheckMode::kCheckOnly);
    if (quarrow::AdjustLevelRun(rs, platform, questions) == quarrow::AdjustOutcome::kFailed)
      return 1;
    if (i >= 0) handler.push_back(since(start));
  }
  PrintTimes("AdjustLevelRun", adjust);
  PrintTimes("CheckInputFile + Adjust", handler);
  return 0;
}
