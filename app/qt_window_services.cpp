#include "app/qt_window_services.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>

#include "platform/qt_platform.h"

namespace quarrow {

namespace {

// Neither dialog has a filter, a default extension or a question about
// replacing a file: both list all files and return what the user chose.
bool ShowFileDialog(QWidget* owner, FileDialogSettings& settings, QFileDialog::AcceptMode mode) {
  QFileDialog dialog(owner, settings.DialogTitle);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  const QFileInfo offered(settings.FileName);
  if (!settings.FileName.isEmpty() && offered.path() != QStringLiteral(".")) {
    dialog.setDirectory(offered.absolutePath());
  } else if (!settings.InitDir.isEmpty()) {
    dialog.setDirectory(settings.InitDir);
  }
  if (!settings.FileName.isEmpty()) dialog.selectFile(offered.fileName());
  if (dialog.exec() != QDialog::Accepted) return false;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return false;
  settings.FileName = chosen.first();
  return true;
}

}  // namespace

bool QtWindowServices::ShowOpen(QWidget* owner, FileDialogSettings& dialog) {
  return ShowFileDialog(owner, dialog, QFileDialog::AcceptOpen);
}

bool QtWindowServices::ShowSave(QWidget* owner, FileDialogSettings& dialog) {
  return ShowFileDialog(owner, dialog, QFileDialog::AcceptSave);
}

bool QtWindowServices::OpenDocument(const QString& path) { return OpenWithDesktop(path); }

void QtWindowServices::ShowModal(QDialog& dialog) { dialog.exec(); }

void QtWindowServices::EndProgram() {
  // Leaves the event loop at once; main then closes every window.
  QCoreApplication::exit(0);
}

}  // namespace quarrow
