#include "bench/memory_platform.h"

#include <algorithm>
#include <cstring>

namespace quarrow::bench {

namespace {

class SharedTextSource : public ByteSource {
 public:
  explicit SharedTextSource(std::shared_ptr<const std::string> text) : text_(std::move(text)) {}
  std::ptrdiff_t Read(char* buffer, std::size_t capacity) override {
    const std::size_t n = std::min(capacity, text_->size() - pos_);
    std::memcpy(buffer, text_->data() + pos_, n);
    pos_ += n;
    return static_cast<std::ptrdiff_t>(n);
  }

 private:
  std::shared_ptr<const std::string> text_;
  std::size_t pos_ = 0;
};

class MemoryReportSink : public ReportSink {
 public:
  explicit MemoryReportSink(std::string& report) : report_(report) { report_.clear(); }
  bool Write(std::string_view bytes) override {
    report_ += bytes;
    return true;
  }
  bool Commit() override { return true; }
  std::string ErrorText() const override { return ""; }

 private:
  std::string& report_;
};

}  // namespace

MessageAnswer MemoryPlatform::ShowMessage(const MessageBoxSpec& box) {
  return box.buttons == MessageButtons::kYesNo ? MessageAnswer::kYes : MessageAnswer::kOk;
}

std::unique_ptr<ByteSource> MemoryPlatform::OpenForReading(const std::string& path) {
  const auto found = shared_files.find(path);
  if (found == shared_files.end()) return nullptr;
  return std::make_unique<SharedTextSource>(found->second);
}

std::unique_ptr<ReportSink> MemoryPlatform::CreateReport(const std::string& path, std::string&) {
  return std::make_unique<MemoryReportSink>(reports[path]);
}

}  // namespace quarrow::bench
