#pragma once

// What an adjustment asks the user, and nothing else: the engine computes
// and never asks. The window asks in message boxes; the headless tools
// answer from their command line (--force, --strict, --open); a program
// that only wants numbers calls the engine's passes and asks nothing.

#include <string>

#include "engine/field_file_check.h"
#include "engine/platform.h"

namespace quarrow {

class AdjustQuestions {
 public:
  virtual ~AdjustQuestions() = default;
  // May the existing file `path` be replaced? `question` is the text asked:
  // "PATH exists.", CR LF, "Do you want to overwrite it?".
  virtual bool MayReplace(const std::string& path, const std::string& question) = 0;
  // The run failed third-order tests (`failures`, one a line, CR LF between;
  // `title` counts them): write the report anyway?
  virtual bool WriteDespiteFailures(const std::string& title, const std::string& failures) = 0;
  // The field file `path` holds lines the checker warns of: write the
  // report anyway? Asked only by a front end that checks its field files.
  virtual bool WriteDespiteWarnings(const std::string& path, const FieldFileChecker& checker) {
    (void)path;
    (void)checker;
    return true;
  }
  // Whether the finished report goes to the text viewer.
  virtual bool OpensReport() = 0;
};

// The window's answers: the user's own, in message boxes through the
// platform. The overwrite question is "Output File Exists", Yes/No with the
// question icon, Yes the default; the failed tests are shown with OK (write
// the report anyway) and Cancel (write nothing), no icon. The report is
// always opened.
class MessageBoxQuestions : public AdjustQuestions {
 public:
  explicit MessageBoxQuestions(Platform& platform) : platform_(platform) {}
  bool MayReplace(const std::string& path, const std::string& question) override;
  bool WriteDespiteFailures(const std::string& title, const std::string& failures) override;
  bool OpensReport() override { return true; }

 private:
  Platform& platform_;
};

}  // namespace quarrow
