#include "cli/console_platform.h"

#include <csignal>

namespace quarrow {

void TreatFileSizeLimitAsWriteError() {
#ifdef SIGXFSZ
  std::signal(SIGXFSZ, SIG_IGN);
#endif
}

MessageAnswer ConsolePlatform::ShowMessage(const MessageBoxSpec& box) {
  errors_ << WithLineFeeds(box.text) << '\n';
  errors_.flush();
  return MessageAnswer::kOk;
}

}  // namespace quarrow
