#pragma once

// The tests' fake platform, made fit for timing: files are shared in-memory
// texts read in whole chunks (the fake reads a few bytes at a time on
// purpose, right for tests and wrong for timing), reports are kept in
// memory, and every question is answered OK or Yes.

#include <map>
#include <memory>
#include <string>

#include "tests/support/fake_platform.h"

namespace quarrow::bench {

class MemoryPlatform : public FakePlatform {
 public:
  // Files are shared, not copied, by every reader.
  std::map<std::string, std::shared_ptr<const std::string>> shared_files;
  // Reports by path, as written (there is nothing to roll back here). A
  // report's buffer is reused by the next report of the same path, so that
  // repeated passes do not measure its growth.
  std::map<std::string, std::string> reports;

  void AddFile(const std::string& path, std::string bytes) {
    shared_files[path] = std::make_shared<const std::string>(std::move(bytes));
  }

  MessageAnswer ShowMessage(const MessageBoxSpec& box) override;
  bool FileExists(const std::string& path) override { return shared_files.count(path) != 0; }
  bool IsSameFile(const std::string& a, const std::string& b) override { return a == b; }
  std::unique_ptr<ByteSource> OpenForReading(const std::string& path) override;
  std::unique_ptr<ReportSink> CreateReport(const std::string& path, std::string& error) override;
};

}  // namespace quarrow::bench
