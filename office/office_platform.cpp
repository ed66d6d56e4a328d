#include "office/office_platform.h"

#include <algorithm>
#include <cstring>

#include "engine/error_box.h"
#include "engine/messages.h"

namespace quarrow {

namespace {

constexpr const char* kCancelledText = "The work was cancelled.";

class MemorySource : public ByteSource {
 public:
  MemorySource(std::shared_ptr<const std::string> bytes, std::function<bool()> cancelled)
      : bytes_(std::move(bytes)), cancelled_(std::move(cancelled)) {}
  std::ptrdiff_t Read(char* buffer, std::size_t capacity) override {
    if (cancelled_ && cancelled_()) return -1;
    const std::size_t count = std::min(capacity, bytes_->size() - offset_);
    std::memcpy(buffer, bytes_->data() + offset_, count);
    offset_ += count;
    return static_cast<std::ptrdiff_t>(count);
  }

 private:
  std::shared_ptr<const std::string> bytes_;
  std::function<bool()> cancelled_;
  std::size_t offset_ = 0;
};

// A file on disk whose reading stops when the work is cancelled.
class CancellableSource : public ByteSource {
 public:
  CancellableSource(std::unique_ptr<ByteSource> inner, std::function<bool()> cancelled)
      : inner_(std::move(inner)), cancelled_(std::move(cancelled)) {}
  std::ptrdiff_t Read(char* buffer, std::size_t capacity) override {
    if (cancelled_()) return -1;
    return inner_->Read(buffer, capacity);
  }

 private:
  std::unique_ptr<ByteSource> inner_;
  std::function<bool()> cancelled_;
};

}  // namespace

// An output of the disk's, refusing writes once cancelled; while the
// platform holds commits, its Commit parks the file and queues it.
class OfficePlatform::HeldSink : public ReportSink {
 public:
  HeldSink(OfficePlatform& platform, std::string path, std::shared_ptr<ReportSink> inner)
      : platform_(platform), path_(std::move(path)), inner_(std::move(inner)) {}
  bool Write(std::string_view bytes) override {
    if (platform_.IsCancelled()) {
      error_ = kCancelledText;
      return false;
    }
    return inner_->Write(bytes);
  }
  bool Commit() override {
    if (platform_.IsCancelled()) {
      error_ = kCancelledText;
      return false;
    }
    if (!platform_.holding_) return inner_->Commit();
    if (!inner_->Park()) return false;
    platform_.held_.emplace_back(path_, inner_);
    return true;
  }
  void Sync() override { inner_->Sync(); }
  bool Park() override { return inner_->Park(); }
  std::string ErrorText() const override { return error_.empty() ? inner_->ErrorText() : error_; }

 private:
  OfficePlatform& platform_;
  std::string path_;
  std::shared_ptr<ReportSink> inner_;
  std::string error_;
};

OfficePlatform::OfficePlatform(Platform& disk, const MemoryFiles* memory,
                               std::function<bool()> cancelled)
    : disk_(disk), memory_(memory), cancelled_(std::move(cancelled)) {}

OfficePlatform::~OfficePlatform() = default;

MessageAnswer OfficePlatform::ShowMessage(const MessageBoxSpec& box) {
  std::string text = box.text;
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
    text.replace(at, 2, "\n");
  }
  messages_.push_back(text);
  return MessageAnswer::kOk;
}

std::string OfficePlatform::MessageText() const {
  std::string text;
  for (const std::string& message : messages_) {
    if (!text.empty()) text += "\n\n";
    text += message;
  }
  return text;
}

bool OfficePlatform::FileExists(const std::string& path) {
  if (memory_ != nullptr && memory_->count(path) > 0) return true;
  return disk_.FileExists(path);
}

bool OfficePlatform::IsSameFile(const std::string& a, const std::string& b) {
  const bool in_memory = memory_ != nullptr && (memory_->count(a) > 0 || memory_->count(b) > 0);
  return in_memory ? a == b : disk_.IsSameFile(a, b);
}

std::unique_ptr<ByteSource> OfficePlatform::OpenForReading(const std::string& path) {
  if (IsCancelled()) return nullptr;
  ++opens_;
  if (memory_ != nullptr) {
    const auto found = memory_->find(path);
    if (found != memory_->end()) return std::make_unique<MemorySource>(found->second, cancelled_);
  }
  std::unique_ptr<ByteSource> source = disk_.OpenForReading(path);
  if (!source || !cancelled_) return source;
  return std::make_unique<CancellableSource>(std::move(source), cancelled_);
}

std::unique_ptr<ReportSink> OfficePlatform::CreateReport(const std::string& path,
                                                         std::string& error) {
  if (IsCancelled()) {
    error = kCancelledText;
    return nullptr;
  }
  // Held outputs wait closed: an export of thousands of runs holds no file open.
  std::unique_ptr<ReportSink> inner =
      holding_ ? disk_.CreateParkedReport(path, error) : disk_.CreateReport(path, error);
  if (!inner) return nullptr;
  return std::make_unique<HeldSink>(*this, path, std::move(inner));
}

std::unique_ptr<ReportSink> OfficePlatform::CreateParkedReport(const std::string& path,
                                                               std::string& error) {
  if (IsCancelled()) {
    error = kCancelledText;
    return nullptr;
  }
  std::unique_ptr<ReportSink> inner = disk_.CreateParkedReport(path, error);
  if (!inner) return nullptr;
  return std::make_unique<HeldSink>(*this, path, std::move(inner));
}

bool OfficePlatform::CommitHeld() {
  std::vector<std::pair<std::string, std::shared_ptr<ReportSink>>> queue;
  queue.swap(held_);
  for (auto& [path, sink] : queue) {
    if (sink->Commit()) continue;
    ShowError(*this, {messages::kUnableToWriteOutput, path, sink->ErrorText()});
    return false;
  }
  return true;
}

void OfficePlatform::DropHeld() { held_.clear(); }

}  // namespace quarrow
