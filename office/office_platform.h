#pragma once

// The engine's Platform for the office's work, which runs off the window's
// thread: files from the disk or from memory, messages kept for the window
// to show afterwards (a job cannot show a box), cancellation, and commits
// held until a whole export is ready to move into place.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/platform.h"
#include "platform/qt_platform.h"

namespace quarrow {

// Files the office holds in memory instead of on disk, by the path the
// engine reads them under: the field files converted from raw
// total-station files, the project's marks as a marks file.
using MemoryFiles = std::map<std::string, std::shared_ptr<const std::string>>;

// The disk, the locale and the date as the tools have them. It shows no
// message: the office's work runs through an OfficePlatform over it, which
// keeps them.
class DiskPlatform : public QtPlatform {
 public:
  MessageAnswer ShowMessage(const MessageBoxSpec&) override { return MessageAnswer::kOk; }
};

class OfficePlatform : public Platform {
 public:
  // Files, the locale and the date come from `disk` unless `memory` holds
  // the path. `cancelled`, when given and true, makes every further read
  // and write fail at once, so that a pass in progress ends; nothing that
  // was being written reaches its file. `memory` and `disk` must outlive
  // the platform.
  explicit OfficePlatform(Platform& disk, const MemoryFiles* memory = nullptr,
                          std::function<bool()> cancelled = {});
  ~OfficePlatform() override;

  // Kept, never shown; the answer is OK (the engine asks nothing).
  MessageAnswer ShowMessage(const MessageBoxSpec& box) override;
  bool FileExists(const std::string& path) override;
  bool IsSameFile(const std::string& a, const std::string& b) override;
  std::unique_ptr<ByteSource> OpenForReading(const std::string& path) override;
  // While commits are held, every output is parked (closed) once written
  // and its Commit only queues it; otherwise as the disk's.
  std::unique_ptr<ReportSink> CreateReport(const std::string& path, std::string& error) override;
  std::unique_ptr<ReportSink> CreateParkedReport(const std::string& path,
                                                 std::string& error) override;
  std::string DecimalSeparator() override { return disk_.DecimalSeparator(); }
  std::string DateSeparator() override { return disk_.DateSeparator(); }
  CivilDate Today() override { return disk_.Today(); }
  bool ReadLocaleNumber(const std::string& text, double& value) override {
    return disk_.ReadLocaleNumber(text, value);
  }
  // The office opens nothing in a viewer.
  bool LaunchViewer(const std::string&) override { return false; }

  // Each kept message: its lines joined by "\n" (the title, always
  // "Quarrow Error" from the engine, left out), in order.
  const std::vector<std::string>& messages() const { return messages_; }
  // All of them, a blank line between.
  std::string MessageText() const;
  bool IsCancelled() const { return cancelled_ && cancelled_(); }
  // How many files were opened for reading: a long job's progress.
  int opens() const { return opens_; }

  void HoldCommits() { holding_ = true; }
  // Moves every queued output into place in the order queued; the first
  // failure stops the moves and is kept as a message. The queue is empty
  // afterwards.
  bool CommitHeld();
  // Forgets the queue: none of its outputs reaches its file.
  void DropHeld();
  std::size_t held() const { return held_.size(); }

 private:
  class HeldSink;
  friend class HeldSink;

  Platform& disk_;
  const MemoryFiles* memory_;
  std::function<bool()> cancelled_;
  std::vector<std::string> messages_;
  int opens_ = 0;
  bool holding_ = false;
  std::vector<std::pair<std::string, std::shared_ptr<ReportSink>>> held_;
};

}  // namespace quarrow
