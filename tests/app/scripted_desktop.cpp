#include "tests/app/scripted_desktop.h"

#include <gtest/gtest.h>
#include <QDialog>

namespace quarrow {

MessageAnswer ScriptedPlatform::ShowMessage(const MessageBoxSpec& box) {
  transcript_.push_back("box " + box.title);
  shown.push_back(box);
  if (box.buttons == MessageButtons::kOk) return MessageAnswer::kOk;
  if (answers.empty()) {
    ADD_FAILURE() << "unscripted box: " << box.title << ": " << box.text;
    return box.buttons == MessageButtons::kYesNo ? MessageAnswer::kNo : MessageAnswer::kCancel;
  }
  const MessageAnswer answer = answers.front();
  answers.pop_front();
  return answer;
}

bool ScriptedPlatform::LaunchViewer(const std::string& report_path) {
  transcript_.push_back("viewer " + report_path);
  return true;
}

bool ScriptedServices::Answer(const char* kind, FileDialogSettings& dialog) {
  transcript_.push_back(std::string(kind) + " " + dialog.DialogTitle.toStdString());
  dialogs.push_back(dialog);
  if (dialog_answers.empty()) {
    ADD_FAILURE() << "unscripted file dialog: " << dialog.DialogTitle.toStdString();
    return false;
  }
  const std::optional<QString> answer = dialog_answers.front();
  dialog_answers.pop_front();
  if (!answer) return false;
  dialog.FileName = *answer;
  return true;
}

bool ScriptedServices::ShowOpen(QWidget*, FileDialogSettings& dialog) {
  return Answer("open", dialog);
}

bool ScriptedServices::ShowSave(QWidget*, FileDialogSettings& dialog) {
  return Answer("save", dialog);
}

bool ScriptedServices::OpenDocument(const QString& path) {
  transcript_.push_back("document " + path.toStdString());
  documents.push_back(path);
  return document_opens;
}

void ScriptedServices::ShowModal(QDialog& dialog) {
  transcript_.push_back("modal " + dialog.objectName().toStdString());
  if (inspect_modal) inspect_modal(dialog);
}

void ScriptedServices::EndProgram() { transcript_.push_back("end"); }

}  // namespace quarrow
