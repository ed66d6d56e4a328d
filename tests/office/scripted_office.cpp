#include "tests/office/scripted_office.h"

#include <QDirIterator>
#include <QFile>
#include <QSettings>
#include <QStatusBar>
#include <QThreadPool>

namespace quarrow {

namespace {

template <typename T>
T Next(std::deque<T>& queue, const T& otherwise = T()) {
  if (queue.empty()) return otherwise;
  T next = std::move(queue.front());
  queue.pop_front();
  return next;
}

void CopyFolder(const QString& from, const QString& to) {
  QDir().mkpath(to);
  for (const QFileInfo& entry : QDir(from).entryInfoList(QDir::Files)) {
    QFile::copy(entry.filePath(), QDir(to).filePath(entry.fileName()));
  }
}

}  // namespace

QStringList ScriptedOffice::ChooseFiles(QWidget*, const QString&, const QString&, const QString&) {
  return Next(files);
}

QString ScriptedOffice::ChooseFile(QWidget*, const QString&, const QString&, const QString&) {
  return Next(file);
}

QString ScriptedOffice::ChooseFolder(QWidget*, const QString&, const QString&) {
  return Next(folders);
}

QString ScriptedOffice::ChooseSaveFile(QWidget*, const QString&, const QString&, const QString&) {
  return Next(file);
}

SaveChangesAnswer ScriptedOffice::AskSaveChanges(QWidget*, const QString& name) {
  asked.push_back(QStringLiteral("save changes to ") + name);
  return Next(save_changes, SaveChangesAnswer::kCancel);
}

bool ScriptedOffice::Ask(QWidget*, const QString& title, const QString& text) {
  asked.push_back(title + QStringLiteral(": ") + text);
  return Next(answers, false);
}

void ScriptedOffice::ShowProblem(QWidget*, const QString&, const QString& text) {
  asked.push_back(QStringLiteral("problem: ") + text);
  problems.push_back(text);
}

bool ScriptedOffice::RunDialog(QDialog& dialog) {
  const auto fill = Next(dialogs);
  return fill ? fill(dialog) : false;
}

bool ScriptedOffice::OpenDocument(const QString& path) {
  documents.push_back(path);
  return true;
}

void OfficeTest::SetUp() {
  ASSERT_TRUE(scratch.isValid());
  QSettings().clear();  // each test starts as on a first run
  const QString examples = QStringLiteral(QUARROW_EXAMPLES);
  QFile::copy(examples + "/run.txt", Path("run.txt"));
  CopyFolder(examples + "/network", Path("network"));
  CopyFolder(examples + "/convert", Path("convert"));
  WriteBytes(Path("single.qproject"), SingleRunProject());
}

void OfficeTest::TearDown() {
  if (window) {
    window->jobs().Cancel();
    window->jobs().Wait();
    window->document().undo().setClean();
    window.reset();
  }
}

frmOffice& OfficeTest::Window() {
  if (!window) {
    window = std::make_unique<frmOffice>(services);
    window->show();
  }
  return *window;
}

void OfficeTest::OpenAndAdjust(const QString& project) {
  frmOffice& office = Window();
  ASSERT_TRUE(office.OpenProject(project)) << services.problems.back().toStdString();
  office.jobs().Wait();
  office.mnuAdjust_Click();
  office.jobs().Wait();
  ASSERT_NE(office.document().result(), nullptr)
      << office.statusBar()->currentMessage().toStdString();
  ASSERT_TRUE(office.document().result()->adjusted) << office.document().result()->problem;
}

void OfficeTest::Settle() {
  for (int turn = 0; turn < 20; ++turn) {
    if (window) {
      window->jobs().Wait();
      window->pool().waitForDone();
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
}

QStringList OfficeTest::FilesIn(const QString& folder) const {
  QStringList files;
  QDirIterator entries(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (entries.hasNext()) files << QDir(folder).relativeFilePath(entries.next());
  files.sort();
  return files;
}

std::string SingleRunProject() {
  return R"({
    "format": "quarrow-project",
    "version": 1,
    "runs": ["run.txt"],
    "marks": [{"name": "BM1", "elevation": 100}, {"name": "BM2", "elevation": 99.91}],
    "options": {"units": "metric"}
})";
}

}  // namespace quarrow
