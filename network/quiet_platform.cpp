#include "network/quiet_platform.h"

#include "engine/error_box.h"
#include "engine/messages.h"

namespace quarrow {

namespace {

class DiscardSink : public ReportSink {
 public:
  bool Write(std::string_view) override { return true; }
  bool Commit() override { return true; }
  std::string ErrorText() const override { return ""; }
};

}  // namespace

// Writes go straight through to the real sink (its temporary file); Commit
// hands the sink to the platform to be moved into place later.
class QuietPlatform::HeldSink : public ReportSink {
 public:
  HeldSink(QuietPlatform& owner, std::string path, std::unique_ptr<ReportSink> sink)
      : owner_(owner), path_(std::move(path)), sink_(std::move(sink)) {}
  bool Write(std::string_view bytes) override { return sink_->Write(bytes); }
  bool Commit() override {
    owner_.held_.emplace_back(path_, std::move(sink_));
    return true;
  }
  std::string ErrorText() const override { return sink_ ? sink_->ErrorText() : ""; }

 private:
  QuietPlatform& owner_;
  std::string path_;
  std::unique_ptr<ReportSink> sink_;
};

MessageAnswer QuietPlatform::ShowMessage(const MessageBoxSpec& box) {
  // The failed-tests question is the engine's only OK/Cancel box.
  if (options_.accept_failed_tests && box.buttons == MessageButtons::kOkCancel) {
    return MessageAnswer::kOk;
  }
  return inner_.ShowMessage(box);
}

std::unique_ptr<ReportSink> QuietPlatform::CreateReport(const std::string& path,
                                                        std::string& error) {
  if (options_.discard_reports) return std::make_unique<DiscardSink>();
  std::unique_ptr<ReportSink> sink = inner_.CreateReport(path, error);
  if (!sink || !options_.hold_commits) return sink;
  return std::make_unique<HeldSink>(*this, path, std::move(sink));
}

bool QuietPlatform::CommitHeld() {
  for (auto& [path, sink] : held_) {
    if (!sink->Commit()) {
      ShowError(inner_, {messages::kUnableToWriteReport, path, sink->ErrorText()});
      held_.clear();
      return false;
    }
  }
  held_.clear();
  return true;
}

}  // namespace quarrow
