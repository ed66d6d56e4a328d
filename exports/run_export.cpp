#include "exports/run_export.h"

#include "engine/error_box.h"
#include "engine/messages.h"

namespace quarrow {

namespace {
constexpr std::size_t kFlushSize = 1 << 20;
}  // namespace

bool TextRunOutput::Flush(bool all) {
  if (failed_) return false;
  if (!all && buffer_.size() < kFlushSize) return true;
  failed_ = !sink_->Write(buffer_);
  buffer_.clear();
  return !failed_;
}

void RunOutputs::Begin(const ThirdOrderVerdict& verdict) {
  for (auto& output : outputs_) output->Begin(verdict);
}

void RunOutputs::Point(const RunPoint& point) {
  for (auto& output : outputs_) output->Point(point);
}

void RunOutputs::Setup(const SetupSights& setup) {
  for (auto& output : outputs_) output->Setup(setup);
}

RunOutputs::~RunOutputs() {
  if (syncing_.joinable()) syncing_.join();
}

bool RunOutputs::Finish() {
  for (auto& output : outputs_) {
    if (output->Finish()) continue;
    ShowError(platform_, {messages::kUnableToWriteOutput, output->path(), output->ErrorText()});
    return false;
  }
  // The report's own move to disk comes next; the outputs' bytes can travel
  // at the same time instead of after it.
  syncing_ = std::thread([this] {
    for (auto& output : outputs_) output->Sync();
  });
  return true;
}

bool RunOutputs::Commit() {
  if (syncing_.joinable()) syncing_.join();
  for (auto& output : outputs_) {
    if (output->Commit()) continue;
    ShowError(platform_, {messages::kUnableToWriteOutput, output->path(), output->ErrorText()});
    return false;
  }
  return true;
}

}  // namespace quarrow
