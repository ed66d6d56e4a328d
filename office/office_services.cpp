#include "office/office_services.h"

#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>

#include "platform/qt_platform.h"

namespace quarrow {

QStringList QtOfficeServices::ChooseFiles(QWidget* owner, const QString& title,
                                          const QString& folder, const QString& filter) {
  return QFileDialog::getOpenFileNames(owner, title, folder, filter);
}

QString QtOfficeServices::ChooseFile(QWidget* owner, const QString& title, const QString& folder,
                                     const QString& filter) {
  return QFileDialog::getOpenFileName(owner, title, folder, filter);
}

QString QtOfficeServices::ChooseFolder(QWidget* owner, const QString& title,
                                       const QString& folder) {
  return QFileDialog::getExistingDirectory(owner, title, folder);
}

QString QtOfficeServices::ChooseSaveFile(QWidget* owner, const QString& title,
                                         const QString& suggested, const QString& filter) {
  return QFileDialog::getSaveFileName(owner, title, suggested, filter, nullptr,
                                      QFileDialog::DontConfirmOverwrite);
}

SaveChangesAnswer QtOfficeServices::AskSaveChanges(QWidget* owner, const QString& name) {
  QMessageBox box(QMessageBox::Warning, QObject::tr("Unsaved Changes"),
                  QObject::tr("The project %1 has changes that are not saved.").arg(name),
                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, owner);
  box.setInformativeText(QObject::tr("Save them before closing it?"));
  box.setDefaultButton(QMessageBox::Save);
  switch (box.exec()) {
    case QMessageBox::Save:
      return SaveChangesAnswer::kSave;
    case QMessageBox::Discard:
      return SaveChangesAnswer::kDiscard;
    default:
      return SaveChangesAnswer::kCancel;
  }
}

bool QtOfficeServices::Ask(QWidget* owner, const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, owner);
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

void QtOfficeServices::ShowProblem(QWidget* owner, const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, owner);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

bool QtOfficeServices::RunDialog(QDialog& dialog) { return dialog.exec() == QDialog::Accepted; }

bool QtOfficeServices::OpenDocument(const QString& path) { return OpenWithDesktop(path); }

}  // namespace quarrow
