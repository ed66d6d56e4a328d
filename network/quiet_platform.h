#pragma once

// A Platform passed through to another, with the changes the network needs
// when it runs the single-run engine on each of its field files: the
// failed-tests question answered OK without a word (the network judges its
// runs itself), reports kept from the viewer, reports thrown away when only
// their points are wanted, and finished reports held back until every output
// of the network is complete.

#include <memory>
#include <string>
#include <vector>

#include "engine/platform.h"

namespace quarrow {

struct QuietOptions {
  bool accept_failed_tests = false;  // OK to the failed-tests question, silently
  bool discard_reports = false;      // reports go nowhere
  bool hold_commits = false;         // Commit only marks a report finished; see CommitHeld
};

class QuietPlatform : public Platform {
 public:
  QuietPlatform(Platform& inner, QuietOptions options) : inner_(inner), options_(options) {}

  MessageAnswer ShowMessage(const MessageBoxSpec& box) override;
  bool FileExists(const std::string& path) override { return inner_.FileExists(path); }
  bool IsSameFile(const std::string& a, const std::string& b) override {
    return inner_.IsSameFile(a, b);
  }
  std::unique_ptr<ByteSource> OpenForReading(const std::string& path) override {
    return inner_.OpenForReading(path);
  }
  std::unique_ptr<ReportSink> CreateReport(const std::string& path, std::string& error) override;
  std::string DecimalSeparator() override { return inner_.DecimalSeparator(); }
  std::string DateSeparator() override { return inner_.DateSeparator(); }
  CivilDate Today() override { return inner_.Today(); }
  bool ReadLocaleNumber(const std::string& text, double& value) override {
    return inner_.ReadLocaleNumber(text, value);
  }
  bool LaunchViewer(const std::string&) override { return true; }

  // Moves every held report into place, in the order they were finished;
  // the first failure is shown and ends the moves. Reports never finished
  // are discarded.
  bool CommitHeld();
  // Drops the held reports: none reaches its file.
  void DiscardHeld() { held_.clear(); }

 private:
  class HeldSink;
  Platform& inner_;
  QuietOptions options_;
  std::vector<std::pair<std::string, std::unique_ptr<ReportSink>>> held_;
};

}  // namespace quarrow
