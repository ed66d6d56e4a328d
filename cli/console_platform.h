#pragma once

// The Platform of the headless tool: message boxes become lines on standard
// error, the failed-tests question is answered by --strict, and the viewer
// opens only when asked for with --open.

#include <ostream>

#include "qt_platform.h"

namespace quarrow {

class ConsolePlatform : public QtPlatform {
 public:
  ConsolePlatform(std::ostream& errors, bool strict, bool open_viewer)
      : errors_(errors), strict_(strict), open_viewer_(open_viewer) {}

  // Writes the box's text, one line per line, and answers OK (Cancel with
  // --strict) to the failed-tests question.
  MessageAnswer ShowMessage(const MessageBoxSpec& box) override;
  bool LaunchViewer(const std::string& report_path) override;

 private:
  std::ostream& errors_;
  bool strict_;
  bool open_viewer_;
};

}  // namespace quarrow
