#pragma once

// An output written beside the report from the points the report pass tells
// (CSV, JSON, a picture). Each writes into its own file's temporary copy and
// moves nothing into place until Commit, which the caller makes only once
// every output, the report included, is complete.

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/platform.h"
#include "engine/run_listener.h"

namespace quarrow {

class RunOutput : public RunListener {
 public:
  explicit RunOutput(std::string path) : path_(std::move(path)) {}
  const std::string& path() const { return path_; }
  // Moves the finished output into place.
  virtual bool Commit() = 0;
  // Pushes the finished output towards the disk; see ReportSink::Sync.
  virtual void Sync() {}
  // Why Finish or Commit failed, in words for the user.
  virtual std::string ErrorText() const = 0;

 private:
  std::string path_;
};

// A text output streamed into a ReportSink in large pieces.
class TextRunOutput : public RunOutput {
 public:
  TextRunOutput(std::string path, std::unique_ptr<ReportSink> sink)
      : RunOutput(std::move(path)), sink_(std::move(sink)) {}
  bool Commit() override { return !failed_ && sink_->Commit(); }
  void Sync() override { sink_->Sync(); }
  std::string ErrorText() const override { return sink_->ErrorText(); }

 protected:
  // The unwritten end of the output: append to it, then call Flush(false).
  std::string& Text() { return buffer_; }
  // Hands the buffer to the sink once it is large, or always when `all`.
  // False once any write has failed.
  bool Flush(bool all);

 private:
  std::unique_ptr<ReportSink> sink_;
  std::string buffer_;
  bool failed_ = false;
};

// Tells every output each point, in the order given, and finishes them in
// that order; the first that fails is shown to the user and stops the rest.
class RunOutputs : public RunListener {
 public:
  explicit RunOutputs(Platform& platform) : platform_(platform) {}
  ~RunOutputs() override;
  void Add(std::unique_ptr<RunOutput> output) { outputs_.push_back(std::move(output)); }
  bool empty() const { return outputs_.empty(); }

  void Begin(const ThirdOrderVerdict& verdict) override;
  void Point(const RunPoint& point) override;
  void Setup(const SetupSights& setup) override;
  bool Finish() override;
  // Moves every finished output into place; the first failure is shown and
  // ends the moves.
  bool Commit();

 private:
  Platform& platform_;
  std::vector<std::unique_ptr<RunOutput>> outputs_;
  // Syncs the finished outputs while the report is moved into place.
  std::thread syncing_;
};

}  // namespace quarrow
