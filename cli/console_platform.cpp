#include "console_platform.h"

namespace quarrow {

MessageAnswer ConsolePlatform::ShowMessage(const MessageBoxSpec& box) {
  std::string text = box.text;
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
    text.replace(at, 2, "\n");
  }
  errors_ << text << '\n';
  errors_.flush();
  switch (box.buttons) {
    case MessageButtons::kOkCancel:
      return strict_ ? MessageAnswer::kCancel : MessageAnswer::kOk;
    case MessageButtons::kYesNo:
      return MessageAnswer::kNo;  // the tool never replaces a file unless told to
    case MessageButtons::kOk:
      break;
  }
  return MessageAnswer::kOk;
}

bool ConsolePlatform::LaunchViewer(const std::string& report_path) {
  return open_viewer_ && QtPlatform::LaunchViewer(report_path);
}

}  // namespace quarrow
