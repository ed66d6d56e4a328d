#pragma once

// A scripted Platform for tests: files live in memory, message boxes are
// recorded and answered from a script, and faults can be injected.

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/platform.h"
#include "shell/adjust_level_run.h"
#include "shell/prepare_adjustment.h"

namespace quarrow {

class FakePlatform : public Platform {
 public:
  std::map<std::string, std::string> files;  // path -> bytes
  std::vector<std::string> unreadable;       // exist, but cannot be opened
  std::vector<MessageBoxSpec> shown;         // every box, in order
  std::deque<MessageAnswer> answers;         // answers to OK/Cancel and Yes/No boxes
  std::vector<std::string> viewed;           // reports handed to the viewer
  std::string decimal_separator = ".";
  std::string date_separator = "/";
  CivilDate today{2026, 12, 6};
  // Bytes per read: few, so that lines and CR LF pairs straddle reads.
  std::size_t read_chunk = 7;

  // Faults: creating the report fails; writes fail once this many bytes were
  // written; the final move into place fails.
  bool fail_create = false;
  std::size_t fail_after_bytes = static_cast<std::size_t>(-1);
  bool fail_commit = false;
  // Called before each OpenForReading, with the count of opens so far.
  std::function<void(FakePlatform&, int)> before_open;
  int opens = 0;

  MessageAnswer ShowMessage(const MessageBoxSpec& box) override;
  bool FileExists(const std::string& path) override;
  bool IsSameFile(const std::string& a, const std::string& b) override;
  std::unique_ptr<ByteSource> OpenForReading(const std::string& path) override;
  std::unique_ptr<ReportSink> CreateReport(const std::string& path, std::string& error) override;
  std::string DecimalSeparator() override { return decimal_separator; }
  std::string DateSeparator() override { return date_separator; }
  CivilDate Today() override { return today; }
  // Plain numbers with decimal_separator as the point, as a locale reads them.
  bool ReadLocaleNumber(const std::string& text, double& value) override;
  bool LaunchViewer(const std::string& report_path) override;
};

// Field-file text from lines: joins them with CR LF after each, and turns the
// placeholder "~" into the degree sign `mark` (byte 176 unless told).
std::string FieldFile(std::initializer_list<std::string> lines, char mark = '\xb0');

// The worked example: a metric run of two setups with one side shot.
std::string ExampleFieldFile();

// The window's Adjust on the fake: the failed-tests question is a message box
// answered from `answers`, and the report goes to the viewer.
AdjustOutcome AdjustLevelRun(RunState& rs, FakePlatform& platform, RunListener* listener = nullptr);

// The window's steps before an adjustment on the fake: the overwrite
// question is a message box answered from `answers`.
Preparation PrepareAdjustment(RunState& rs, FakePlatform& platform, const AdjustRequest& request);

// As a shell's Adjust does: checks the field file "run.txt" (the report is
// then "run.adj") and, when usable, adjusts it in metres or in feet.
AdjustOutcome CheckAndAdjust(Platform& platform, RunState& rs, double begin_elev, double end_elev,
                             bool feet = false);

}  // namespace quarrow
