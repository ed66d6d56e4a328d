#include "cli/console_platform.h"

#include <csignal>

namespace quarrow {

std::string Local8(const QString& text) { return text.toLocal8Bit().toStdString(); }

int PrintUsageError(std::ostream& errors, std::string_view program, const std::string& problem) {
  errors << program << ": " << problem << "\n"
         << "Try '" << program << " --help' for more information.\n";
  return 2;
}

void TreatFileSizeLimitAsWriteError() {
#ifdef SIGXFSZ
  std::signal(SIGXFSZ, SIG_IGN);
#endif
}

MessageAnswer ConsolePlatform::ShowMessage(const MessageBoxSpec& box) {
  if (box.buttons == MessageButtons::kYesNo) {
    if (answers_.replace_reports) return MessageAnswer::kYes;
    // The question's first line names the file: "run.adj exists."
    errors_ << box.text.substr(0, box.text.find("\r\n")) << '\n'
            << "Use --force to overwrite it; nothing was written.\n";
    errors_.flush();
    return MessageAnswer::kNo;
  }
  // Boxes break lines with CR LF; a terminal wants LF alone.
  std::string text;
  text.reserve(box.text.size() + 1);
  for (std::size_t i = 0; i < box.text.size(); ++i) {
    if (box.text[i] == '\r' && i + 1 < box.text.size() && box.text[i + 1] == '\n') continue;
    text += box.text[i];
  }
  errors_ << text << '\n';
  errors_.flush();
  if (box.buttons == MessageButtons::kOkCancel && answers_.strict) return MessageAnswer::kCancel;
  return MessageAnswer::kOk;
}

bool ConsolePlatform::LaunchViewer(const std::string& report_path) {
  return answers_.open_viewer && QtPlatform::LaunchViewer(report_path);
}

}  // namespace quarrow
