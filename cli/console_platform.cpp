#include "console_platform.h"

namespace quarrow {

MessageAnswer ConsolePlatform::ShowMessage(const MessageBoxSpec& box) {
  // Boxes break lines with CR LF; a terminal wants LF alone.
  std::string text;
  text.reserve(box.text.size() + 1);
  for (std::size_t i = 0; i < box.text.size(); ++i) {
    if (box.text[i] == '\r' && i + 1 < box.text.size() && box.text[i + 1] == '\n') continue;
    text += box.text[i];
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
