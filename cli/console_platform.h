#pragma once

// The Platform of the headless tools: message boxes become lines on standard
// error. The tools ask nothing through it; their answers come from the
// command line (cli/command_line_answers.h).

#include <ostream>
#include <string>

#include "cli/command_line_answers.h"
#include "platform/qt_platform.h"

namespace quarrow {

// Past a file-size limit (ulimit -f) the system would end a tool at the
// write that crosses it, leaving no word of why. Ignoring that signal makes
// the write fail like one on a full disk, which the tools report and survive
// with every earlier file kept. Each tool's main calls this first.
void TreatFileSizeLimitAsWriteError();

class ConsolePlatform : public QtPlatform {
 public:
  explicit ConsolePlatform(std::ostream& errors) : errors_(errors) {}

  // Writes the box's text, one line per line, and answers OK: nothing the
  // tools show is a question.
  MessageAnswer ShowMessage(const MessageBoxSpec& box) override;

 private:
  std::ostream& errors_;
};

}  // namespace quarrow
