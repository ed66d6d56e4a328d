#pragma once

// A scripted desktop for the window's tests. Files are real (a scratch
// folder), but every message box, file dialog, modal box, viewer launch and
// the end of the program is answered from a script and written to one
// transcript, so a test sees what was asked and in which order. No real
// dialog ever opens.

#include <QRect>
#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/window_services.h"
#include "platform/qt_platform.h"
#include "tests/support/fake_platform.h"  // the worked example
#include "tests/support/scratch_files.h"

namespace quarrow {

// One line per thing asked of the desktop, e.g. "box Quarrow Error",
// "open Select The Project Dump File", "viewer /tmp/x/run.adj", "end".
using Transcript = std::vector<std::string>;

class ScriptedPlatform : public QtPlatform {
 public:
  explicit ScriptedPlatform(Transcript& transcript) : transcript_(transcript) {}

  std::deque<MessageAnswer> answers;  // for OK/Cancel and Yes/No boxes, in order
  std::vector<MessageBoxSpec> shown;  // every box, in order

  // An OK box needs no script; any other box without an answer left fails
  // the test and is answered Cancel or No, which writes nothing.
  MessageAnswer ShowMessage(const MessageBoxSpec& box) override;
  bool LaunchViewer(const std::string& report_path) override;

 private:
  Transcript& transcript_;
};

class ScriptedServices : public WindowServices {
 public:
  explicit ScriptedServices(Transcript& transcript) : transcript_(transcript) {}

  // The path each file dialog answers in turn; nullopt is Cancel.
  std::deque<std::optional<QString>> dialog_answers;
  // The dialogs as they were when shown, in order.
  std::vector<FileDialogSettings> dialogs;
  bool document_opens = false;
  std::vector<QString> documents;
  // Looks at a modal box while it is "shown", then lets it close.
  std::function<void(QDialog&)> inspect_modal;

  bool ShowOpen(QWidget* owner, FileDialogSettings& dialog) override;
  bool ShowSave(QWidget* owner, FileDialogSettings& dialog) override;
  bool OpenDocument(const QString& path) override;
  void ShowModal(QDialog& dialog) override;
  void EndProgram() override;

 private:
  bool Answer(const char* kind, FileDialogSettings& dialog);
  Transcript& transcript_;
};

// Places in the layout tables are in twips, 15 to the pixel.
inline QRect Twips(int left, int top, int width, int height) {
  auto pixels = [](int twips) { return qRound(twips / 15.0); };
  return QRect(pixels(left), pixels(top), pixels(width), pixels(height));
}

}  // namespace quarrow
