#pragma once

// What the windows need from the desktop beyond the engine's Platform: the
// two file dialogs, the field guide's viewer, modal boxes and ending the
// program. The program uses QtWindowServices; tests script a fake that
// answers and records, so no test opens a real dialog.

#include <QString>

class QDialog;
class QWidget;

namespace quarrow {

// One file dialog object of the window. It outlives each use, so the name
// chosen last time is offered again next time.
struct FileDialogSettings {
  QString FileName;  // offered when shown; the chosen file afterwards
  QString InitDir;   // starting folder when FileName names none; "" = the dialog's own
  QString DialogTitle;
};

class WindowServices {
 public:
  virtual ~WindowServices() = default;

  // Shows an open dialog (any file; a typed name of a missing file is
  // accepted) or a save dialog (any file; no question about replacing one).
  // On OK, FileName holds the chosen path and the result is true. Cancel, or
  // a dialog that could not be shown, returns false and changes nothing.
  virtual bool ShowOpen(QWidget* owner, FileDialogSettings& dialog) = 0;
  virtual bool ShowSave(QWidget* owner, FileDialogSettings& dialog) = 0;

  // Opens `path` with the viewer registered for its type, without waiting.
  // False when that failed; the caller says nothing about it.
  virtual bool OpenDocument(const QString& path) = 0;

  // Shows `dialog` modally and returns when it has closed.
  virtual void ShowModal(QDialog& dialog) = 0;

  // Ends the program at once: every window closes, no further handler runs.
  virtual void EndProgram() = 0;
};

}  // namespace quarrow
