#include "shell/questions.h"

#include "engine/messages.h"

namespace quarrow {

bool MessageBoxQuestions::MayReplace(const std::string&, const std::string& question) {
  const MessageAnswer answer =
      platform_.ShowMessage({std::string(messages::kOverwriteTitle), question,
                             MessageIcon::kQuestion, MessageButtons::kYesNo});
  return answer == MessageAnswer::kYes;
}

bool MessageBoxQuestions::WriteDespiteFailures(const std::string& title,
                                               const std::string& failures) {
  // Closing the box with Esc or its close box counts as Cancel.
  const MessageAnswer answer =
      platform_.ShowMessage({title, failures, MessageIcon::kNone, MessageButtons::kOkCancel});
  return answer == MessageAnswer::kOk;
}

}  // namespace quarrow
