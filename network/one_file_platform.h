#pragma once

// Reading one field file of a network on any thread (network/run_files.h).

#include <algorithm>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/platform.h"
#include "engine/whole_file.h"

namespace quarrow {

class MemorySource : public ByteSource {
 public:
  explicit MemorySource(const std::string& bytes) : bytes_(bytes) {}
  std::ptrdiff_t Read(char* buffer, std::size_t capacity) override {
    const std::size_t count = std::min(capacity, bytes_.size() - position_);
    std::copy_n(bytes_.data() + position_, count, buffer);
    position_ += count;
    return static_cast<std::ptrdiff_t>(count);
  }

 private:
  const std::string& bytes_;
  std::size_t position_ = 0;
};

// The platform one file is read through, on any thread: its bytes come from
// the disk once and are served from memory to every reader after; its
// messages are kept for later, to be shown in the files' order; every call
// to the real platform holds `lock`, unless that is null (the real platform
// may be called from many threads).
class OneFilePlatform : public Platform {
 public:
  OneFilePlatform(Platform& inner, std::mutex* lock, std::vector<MessageBoxSpec>& messages)
      : inner_(inner), lock_(lock), messages_(messages) {}

  MessageAnswer ShowMessage(const MessageBoxSpec& box) override {
    messages_.push_back(box);
    return MessageAnswer::kOk;  // Deliberate: reading a run asks nothing
  }
  bool FileExists(const std::string& path) override {
    const auto held = Hold();
    return inner_.FileExists(path);
  }
  bool IsSameFile(const std::string& a, const std::string& b) override {
    const auto held = Hold();
    return inner_.IsSameFile(a, b);
  }
  std::unique_ptr<ByteSource> OpenForReading(const std::string& path) override {
    if (!cached_ || path != path_) {
      const auto held = Hold();
      path_ = path;
      bytes_.clear();
      cached_ = ReadWholeFile(inner_, path, bytes_);
      if (!cached_) return nullptr;
    }
    return std::make_unique<MemorySource>(bytes_);
  }
  std::unique_ptr<ReportSink> CreateReport(const std::string& path, std::string& error) override {
    const auto held = Hold();
    return inner_.CreateReport(path, error);
  }
  std::unique_ptr<ReportSink> CreateParkedReport(const std::string& path,
                                                 std::string& error) override {
    const auto held = Hold();
    return inner_.CreateParkedReport(path, error);
  }
  std::string DecimalSeparator() override {
    const auto held = Hold();
    return inner_.DecimalSeparator();
  }
  std::string DateSeparator() override {
    const auto held = Hold();
    return inner_.DateSeparator();
  }
  CivilDate Today() override {
    const auto held = Hold();
    return inner_.Today();
  }
  bool ReadLocaleNumber(const std::string& text, double& value) override {
    const auto held = Hold();
    return inner_.ReadLocaleNumber(text, value);
  }
  bool LaunchViewer(const std::string&) override { return false; }

 private:
  std::unique_lock<std::mutex> Hold() {
    return lock_ == nullptr ? std::unique_lock<std::mutex>() : std::unique_lock<std::mutex>(*lock_);
  }

  Platform& inner_;
  std::mutex* lock_;
  std::vector<MessageBoxSpec>& messages_;
  std::string path_;
  std::string bytes_;
  bool cached_ = false;
};

}  // namespace quarrow
