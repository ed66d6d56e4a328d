#include "scripted_desktop.h"

#include <gtest/gtest.h>
#include <QDialog>
#include <QFile>

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

std::string ExampleFieldBytes() {
  const std::string degree(1, static_cast<char>(176));
  return "1,BM1,89" + degree + "58'30,52.114,1.500\r\n" +  //
         "1,SS1,90" + degree + "10'00,20.000,1.500\r\n" +  //
         "1,TP1,90" + degree + "02'15,51.880,1.500\r\n" +  //
         "2,TP1,89" + degree + "59'10,48.300,1.500\r\n" +  //
         "2,BM2,90" + degree + "01'40,47.950,1.500\r\n";
}

void WriteFile(const QString& path, const std::string& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
  ASSERT_EQ(file.write(bytes.data(), static_cast<qint64>(bytes.size())),
            static_cast<qint64>(bytes.size()));
}

std::string ReadFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return "<missing>";
  return file.readAll().toStdString();
}

}  // namespace quarrow
