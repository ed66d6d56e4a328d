#include "engine/report_stream.h"

namespace quarrow {

namespace {
constexpr std::size_t kFlushSize = 1 << 16;
}

void ReportStream::Open(ReportSink& sink) {
  Abandon();
  sink_ = &sink;
  buffer_.reserve(kFlushSize + 1024);
}

void ReportStream::Abandon() {
  sink_ = nullptr;
  buffer_.clear();
  failed_ = false;
  error_.clear();
}

bool ReportStream::Flush() {
  if (sink_ == nullptr) failed_ = true;  // Deliberate: nothing to write into
  if (!failed_ && !buffer_.empty() && !sink_->Write(buffer_)) {
    failed_ = true;
    error_ = sink_->ErrorText();
  }
  buffer_.clear();
  return !failed_;
}

void ReportStream::FlushIfFull() {
  if (buffer_.size() >= kFlushSize) Flush();
}

bool ReportStream::Finish() {
  if (sink_ == nullptr) return false;
  const bool ok = Flush();
  sink_ = nullptr;
  return ok;
}

std::string ReportStream::ErrorText() const { return error_; }

void ReportStream::WriteLine(std::string_view text) {
  buffer_ += text;
  buffer_ += "\r\n";
  FlushIfFull();
}

void ReportStream::WriteIndentedLine(std::string_view text) {
  buffer_ += "  ";
  WriteLine(text);
}

void ReportStream::Write(std::string_view text) {
  buffer_ += text;
  FlushIfFull();
}

}  // namespace quarrow
