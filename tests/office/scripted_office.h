#pragma once

// What the office's tests share: a scripted desktop (every dialog and
// question answered from a script and recorded, none ever shown), a
// scratch folder holding copies of the examples, and a window on them.

#include <gtest/gtest.h>

#include <QDialog>
#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "office/frm_office.h"
#include "office/office_services.h"
#include "tests/support/scratch_files.h"

// QStrings in test failures as text.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace quarrow {

class ScriptedOffice : public OfficeServices {
 public:
  std::deque<QStringList> files;  // answers to ChooseFiles, in turn
  std::deque<QString> file;       // ChooseFile and ChooseSaveFile
  std::deque<QString> folders;    // ChooseFolder
  std::deque<SaveChangesAnswer> save_changes;
  std::deque<bool> answers;  // Ask
  // Fills in a dialog while it is "shown"; false cancels it. Without one,
  // a dialog is cancelled.
  std::deque<std::function<bool(QDialog&)>> dialogs;
  std::vector<QString> asked;  // every question and problem, in order
  std::vector<QString> problems;
  std::vector<QString> documents;

  QStringList ChooseFiles(QWidget*, const QString&, const QString&, const QString&) override;
  QString ChooseFile(QWidget*, const QString&, const QString&, const QString&) override;
  QString ChooseFolder(QWidget*, const QString&, const QString&) override;
  QString ChooseSaveFile(QWidget*, const QString&, const QString&, const QString&) override;
  SaveChangesAnswer AskSaveChanges(QWidget*, const QString& name) override;
  bool Ask(QWidget*, const QString& title, const QString& text) override;
  void ShowProblem(QWidget*, const QString& title, const QString& text) override;
  bool RunDialog(QDialog& dialog) override;
  bool OpenDocument(const QString& path) override;
};

// A scratch folder with the examples copied in (examples/run.txt,
// examples/convert/, examples/network/), and a window.
class OfficeTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  QString Path(const QString& name) const { return QDir(scratch.path()).filePath(name); }
  // A window on the scripted desktop, shown offscreen.
  frmOffice& Window();
  // Lets the window's work off its thread finish and reach the views.
  void Settle();
  // Opens `project` (a path in the scratch folder), reads and adjusts it.
  void OpenAndAdjust(const QString& project);
  // The files in `folder`, sorted, for "nothing else was written".
  QStringList FilesIn(const QString& folder) const;

  QTemporaryDir scratch;
  ScriptedOffice services;
  std::unique_ptr<frmOffice> window;
};

// A project file of the single example run between its two bench marks.
std::string SingleRunProject();

}  // namespace quarrow
