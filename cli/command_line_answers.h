#pragma once

// How the headless tools answer an adjustment's questions: from their
// command line, saying on standard error what they decided.

#include <ostream>
#include <string>

#include "shell/questions.h"

namespace quarrow {

struct CommandLineChoices {
  bool force = false;   // --force: replace existing files
  bool strict = false;  // --strict: write nothing when third-order tests fail
  bool open = false;    // --open: open the finished report in the viewer
};

class CommandLineAnswers : public AdjustQuestions {
 public:
  CommandLineAnswers(std::ostream& errors, CommandLineChoices choices)
      : errors_(errors), choices_(choices) {}

  // Yes with --force, silently; without it, says the file exists and how
  // to replace it, and answers No.
  bool MayReplace(const std::string& path, const std::string& question) override;
  // Prints the failed tests, a line each; writes the report unless --strict.
  bool WriteDespiteFailures(const std::string& title, const std::string& failures) override;
  // Prints the warnings; writes the report unless --strict.
  bool WriteDespiteWarnings(const std::string& path, const FieldFileChecker& checker) override;
  bool OpensReport() override { return choices_.open; }

 private:
  std::ostream& errors_;
  CommandLineChoices choices_;
};

// The checker's warnings, "PATH:LINE: warning: TEXT" a line, and how many
// more there were when it kept only the first.
void PrintWarnings(std::ostream& errors, const std::string& path, const FieldFileChecker& checker);

// `text` with its CR LF line breaks as LF alone, as a terminal wants them.
std::string WithLineFeeds(const std::string& text);

}  // namespace quarrow
