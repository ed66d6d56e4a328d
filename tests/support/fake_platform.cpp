#include "tests/support/fake_platform.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "engine/messages.h"
#include "shell/check_input_file.h"

namespace quarrow {

namespace {

class StringSource : public ByteSource {
 public:
  StringSource(std::string bytes, std::size_t chunk) : bytes_(std::move(bytes)), chunk_(chunk) {}
  std::ptrdiff_t Read(char* buffer, std::size_t capacity) override {
    const std::size_t n = std::min({capacity, bytes_.size() - pos_, chunk_});
    std::memcpy(buffer, bytes_.data() + pos_, n);
    pos_ += n;
    return static_cast<std::ptrdiff_t>(n);
  }

 private:
  std::string bytes_;
  std::size_t chunk_;
  std::size_t pos_ = 0;
};

class MemorySink : public ReportSink {
 public:
  MemorySink(FakePlatform& platform, std::string path) : platform_(platform), path_(path) {}
  bool Write(std::string_view bytes) override {
    if (written_.size() + bytes.size() > platform_.fail_after_bytes) {
      error_ = "No space left on device";
      return false;
    }
    written_ += bytes;
    return true;
  }
  bool Commit() override {
    if (platform_.fail_commit) {
      error_ = "Could not rename";
      return false;
    }
    platform_.files[path_] = written_;
    return true;
  }
  std::string ErrorText() const override { return error_; }

 private:
  FakePlatform& platform_;
  std::string path_;
  std::string written_;
  std::string error_;
};

}  // namespace

MessageAnswer FakePlatform::ShowMessage(const MessageBoxSpec& box) {
  shown.push_back(box);
  if (box.buttons == MessageButtons::kOk) return MessageAnswer::kOk;
  if (answers.empty()) {
    return box.buttons == MessageButtons::kYesNo ? MessageAnswer::kNo : MessageAnswer::kCancel;
  }
  const MessageAnswer answer = answers.front();
  answers.pop_front();
  return answer;
}

bool FakePlatform::FileExists(const std::string& path) { return files.count(path) != 0; }

bool FakePlatform::IsSameFile(const std::string& a, const std::string& b) {
  return a == b && files.count(a) != 0;
}

std::unique_ptr<ByteSource> FakePlatform::OpenForReading(const std::string& path) {
  if (before_open) before_open(*this, opens);
  ++opens;
  const auto found = files.find(path);
  if (found == files.end()) return nullptr;
  if (std::find(unreadable.begin(), unreadable.end(), path) != unreadable.end()) return nullptr;
  return std::make_unique<StringSource>(found->second, read_chunk);
}

std::unique_ptr<ReportSink> FakePlatform::CreateReport(const std::string& path,
                                                       std::string& error) {
  if (fail_create) {
    error = "Permission denied";
    return nullptr;
  }
  return std::make_unique<MemorySink>(*this, path);
}

bool FakePlatform::ReadLocaleNumber(const std::string& text, double& value) {
  // A point is foreign to a locale that writes decimals with another sign.
  if (decimal_separator != "." && text.find('.') != std::string::npos) return false;
  std::string plain = text;
  const std::size_t separator = plain.find(decimal_separator);
  if (separator != std::string::npos) plain.replace(separator, decimal_separator.size(), ".");
  double read = 0;
  const char* end = plain.data() + plain.size();
  const auto [stop, error] = std::from_chars(plain.data(), end, read);
  if (plain.empty() || error != std::errc() || stop != end || !std::isfinite(read)) return false;
  value = read;
  return true;
}

bool FakePlatform::LaunchViewer(const std::string& report_path) {
  viewed.push_back(report_path);
  return true;
}

std::string FieldFile(std::initializer_list<std::string> lines, char mark) {
  std::string text;
  for (std::string line : lines) {
    std::replace(line.begin(), line.end(), '~', mark);
    text += line;
    text += "\r\n";
  }
  return text;
}

std::string ExampleFieldFile() {
  return FieldFile({"1,BM1,89~58'30,52.114,1.500", "1,SS1,90~10'00,20.000,1.500",
                    "1,TP1,90~02'15,51.880,1.500", "2,TP1,89~59'10,48.300,1.500",
                    "2,BM2,90~01'40,47.950,1.500"});
}

AdjustOutcome AdjustLevelRun(RunState& rs, FakePlatform& platform, RunListener* listener) {
  MessageBoxQuestions questions(platform);
  return AdjustLevelRun(rs, platform, questions, listener);
}

Preparation PrepareAdjustment(RunState& rs, FakePlatform& platform, const AdjustRequest& request) {
  MessageBoxQuestions questions(platform);
  return PrepareAdjustment(rs, platform, questions, request);
}

AdjustOutcome CheckAndAdjust(Platform& platform, RunState& rs, double begin_elev, double end_elev,
                             bool feet) {
  InitialiseFrames(rs);
  rs.InputPath = "run.txt";
  if (CheckInputFile(rs, platform, CheckMode::kCheckAndDerive) != kFileUsable)
    return AdjustOutcome::kFailed;
  rs.BeginElev = begin_elev;
  rs.EndElev = end_elev;
  StoreUnits(rs, feet ? Units::kFeet : Units::kMetric);
  MessageBoxQuestions questions(platform);
  return AdjustLevelRun(rs, platform, questions);
}

}  // namespace quarrow
