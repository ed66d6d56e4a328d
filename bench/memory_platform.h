#pragma once

// A Platform for the benchmarks that stays out of the way: files are shared
// in-memory texts read in whole chunks, reports are kept in memory, and
// every question is answered OK. (The tests' FakePlatform reads a few bytes
// at a time on purpose, which is right for tests and wrong for timing.)

#include <map>
#include <memory>
#include <string>

#include "platform.h"

namespace quarrow::bench {

class MemoryPlatform : public Platform {
 public:
  // Files are shared, not copied, by every reader.
  std::map<std::string, std::shared_ptr<const std::string>> files;
  // Reports by path, as written (there is nothing to roll back here). A
  // report's buffer is reused by the next report of the same path, so that
  // repeated passes do not measure its growth.
  std::map<std::string, std::string> reports;

  void AddFile(const std::string& path, std::string bytes) {
    files[path] = std::make_shared<const std::string>(std::move(bytes));
  }

  MessageAnswer ShowMessage(const MessageBoxSpec& box) override;
  bool FileExists(const std::string& path) override { return files.count(path) != 0; }
  std::string ParentFolderName(const std::string& path) override;
  std::string BaseName(const std::string& path) override;
  std::string BuildPath(const std::string& folder, const std::string& name) override;
  bool IsSameFile(const std::string& a, const std::string& b) override { return a == b; }
  std::unique_ptr<ByteSource> OpenForReading(const std::string& path) override;
  std::unique_ptr<ReportSink> CreateReport(const std::string& path, std::string& error) override;
  std::string DecimalSeparator() override { return "."; }
  std::string DateSeparator() override { return "/"; }
  CivilDate Today() override { return {2026, 12, 7}; }
  bool LaunchViewer(const std::string&) override { return true; }
};

}  // namespace quarrow::bench
