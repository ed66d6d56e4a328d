#pragma once

// The Platform of the headless tools: message boxes become lines on standard
// error, the questions are answered by the command line (--strict, --force),
// and the viewer opens only when asked for with --open.

#include <ostream>
#include <string>
#include <string_view>

#include "platform/qt_platform.h"

namespace quarrow {

struct ConsoleAnswers {
  bool strict = false;           // Cancel at failed third-order tests
  bool replace_reports = false;  // Yes to "Output File Exists"
  bool open_viewer = false;
};

// Past a file-size limit (ulimit -f) the system would end a tool at the
// write that crosses it, leaving no word of why. Ignoring that signal makes
// the write fail like one on a full disk, which the tools report and survive
// with every earlier file kept. Each tool's main calls this first.
void TreatFileSizeLimitAsWriteError();

// `text` as the system's 8-bit bytes, for messages on the console.
std::string Local8(const QString& text);

// Writes "PROGRAM: problem" and where help is, as every tool does for a
// usage error; returns exit status 2.
int PrintUsageError(std::ostream& errors, std::string_view program, const std::string& problem);

class ConsolePlatform : public QtPlatform {
 public:
  ConsolePlatform(std::ostream& errors, ConsoleAnswers answers)
      : errors_(errors), answers_(answers) {}

  // Writes the box's text, one line per line; answers OK (Cancel with
  // --strict) to the failed-tests question. The overwrite question is
  // answered Yes silently with --force; without it the tool says that the
  // file exists and how to replace it, and answers No.
  MessageAnswer ShowMessage(const MessageBoxSpec& box) override;
  bool LaunchViewer(const std::string& report_path) override;

 private:
  std::ostream& errors_;
  ConsoleAnswers answers_;
};

}  // namespace quarrow
