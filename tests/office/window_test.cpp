// The window as a user drives it: drops of files and folders, the project's
// file and its unsaved state, undo and redo of every mark edit, the example
// network adjusted with F5, and what the window remembers.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTableView>
#include <QUrl>

#include "office/marks_model.h"
#include "office/runs_model.h"
#include "tests/office/scripted_office.h"

namespace quarrow {
namespace {

QStringList ColumnTexts(QAbstractItemModel& model, int column) {
  QStringList texts;
  for (int row = 0; row < model.rowCount(); ++row)
    texts << model.index(row, column).data().toString();
  return texts;
}

class OfficeWindow : public OfficeTest {
 protected:
  void Drop(const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    // What the window's drop event hands on; Qt delivers drops only from a
    // real drag.
    Window().Form_Drop(data);
    Window().jobs().Wait();
  }
  QAbstractItemModel& Runs() { return *Window().findChild<QTableView*>("grdRuns")->model(); }
  MarksModel& Marks() {
    return *static_cast<MarksModel*>(Window().findChild<QTableView*>("grdMarks")->model());
  }
};

TEST_F(OfficeWindow, DropsOfFilesAndFoldersAddRunsAndWriteNothing) {
  WriteBytes(Path("network/notes.csv"), "not a run");
  WriteBytes(Path("broken.txt"), "no observation here\r\n");
  const QStringList before = FilesIn(scratch.path());
  // A folder: its field files, raw files and digital levels, by name; its
  // CSV files (the marks, a lines file, notes) are no runs.
  Drop({Path("network")});
  const QStringList network = {"level-line.dat", "level-line.gsi", "run1-n1-j2.txt",
                               "run2-j2-j3.txt", "run3-j3-n1.txt", "run4-j2-n4.txt",
                               "run5-n4-j3.txt", "run6-j3-n7.txt"};
  EXPECT_EQ(ColumnTexts(Runs(), RunsModel::kFile), network);
  // Again, with files: one already in, a raw file, a broken one and a missing one.
  Drop({Path("network/run1-n1-j2.txt"), Path("convert/run.gsi"), Path("convert/run.rw5"),
        Path("broken.txt"), Path("missing.txt")});
  const QStringList files = ColumnTexts(Runs(), RunsModel::kFile);
  ASSERT_EQ(files.size(), network.size() + 4);
  EXPECT_EQ(files.mid(network.size()),
            (QStringList{"run.gsi", "run.rw5", "broken.txt", "missing.txt"}));
  EXPECT_EQ(ColumnTexts(Runs(), RunsModel::kFormat).mid(network.size() - 1),
            (QStringList{"field file", "GSI", "RW5", "field file", "field file"}));
  EXPECT_EQ(ColumnTexts(Runs(), RunsModel::kFormat).mid(0, 2),
            (QStringList{"digital level", "digital level"}));
  EXPECT_EQ(ColumnTexts(Runs(), RunsModel::kVerdict).mid(network.size()),
            (QStringList{"not checked", "not checked", "not read", "not read"}));
  // A file that cannot be read stays listed, with its message.
  const int broken = static_cast<int>(network.size()) + 2;
  EXPECT_NE(Runs()
                .index(broken, RunsModel::kVerdict)
                .data(Qt::ToolTipRole)
                .toString()
                .indexOf("Unrecognized File Format in"),
            -1);
  EXPECT_NE(Runs()
                .index(broken + 1, RunsModel::kFile)
                .data(Qt::ToolTipRole)
                .toString()
                .indexOf("File Does Not Exist"),
            -1);
  EXPECT_EQ(Runs().index(broken - 2, RunsModel::kSetups).data().toString(), "3");
  EXPECT_EQ(FilesIn(scratch.path()), before);
  // The first runs set the project's units (the example network's are feet).
  EXPECT_EQ(Window().document().project().options.units, Units::kFeet);
  // One undo step per drop.
  Window().document().undo().undo();
  EXPECT_EQ(Runs().rowCount(), network.size());
}

TEST_F(OfficeWindow, EveryMarkEditUndoesAndRedoes) {
  Window().OpenProject(Path("network/project.qproject"));
  Window().jobs().Wait();
  OfficeDocument& document = Window().document();
  const std::vector<ProjectMark> opened = document.project().marks;
  std::vector<std::vector<ProjectMark>> states = {opened};
  const auto edit = [&](int row, int column, const QString& text) {
    EXPECT_TRUE(Marks().setData(Marks().index(row, column), text)) << text.toStdString();
    states.push_back(document.project().marks);
  };
  edit(0, MarksModel::kElevation, "499.805");
  edit(2, MarksModel::kStdDev, "");
  edit(1, MarksModel::kName, "BM N-4A");
  edit(0, MarksModel::kEasting, "1000.5");
  // A junction the runs meet takes an elevation as a new mark.
  const int junction = Marks().RowOf("J-2");
  ASSERT_GE(junction, 3);
  edit(junction, MarksModel::kElevation, "521.38");
  EXPECT_TRUE(Marks().IsListed(Marks().RowOf("J-2")));
  ASSERT_TRUE(
      Marks().Paste(-1, MarksModel::kName, "name\televation\tsd\nX-1\t10\t0.01\nX-2\t11\n"));
  states.push_back(document.project().marks);
  Marks().RemoveMarks({0, 2});
  states.push_back(document.project().marks);
  Marks().AddMark();
  states.push_back(document.project().marks);
  ASSERT_EQ(document.project().marks.back().name, "MARK 1");
  // Refused edits change nothing and are no step.
  const int steps = document.undo().count();
  EXPECT_FALSE(Marks().setData(Marks().index(0, MarksModel::kElevation), "4,99.8"));
  EXPECT_FALSE(Marks().setData(Marks().index(0, MarksModel::kStdDev), "-1"));
  EXPECT_FALSE(Marks().setData(Marks().index(0, MarksModel::kName), "A,B"));
  EXPECT_FALSE(Marks().Paste(0, MarksModel::kElevation, "1\nnot a number\n"));
  EXPECT_EQ(document.undo().count(), steps);
  EXPECT_TRUE(Window().windowTitle().startsWith("project.qproject*"));

  for (std::size_t back = states.size() - 1; back > 0; --back) {
    SCOPED_TRACE("undo to state " + std::to_string(back - 1));
    document.undo().undo();
    EXPECT_EQ(document.project().marks, states[back - 1]);
  }
  EXPECT_EQ(Window().windowTitle(), "project.qproject - Quarrow Office");
  for (std::size_t forward = 1; forward < states.size(); ++forward) {
    SCOPED_TRACE("redo to state " + std::to_string(forward));
    document.undo().redo();
    EXPECT_EQ(document.project().marks, states[forward]);
  }
}

TEST_F(OfficeWindow, PastesASpreadsheetsMarksThroughTheClipboard) {
  Window().OpenProject(Path("single.qproject"));
  Window().jobs().Wait();
  QApplication::clipboard()->setText("BM3\t101.5\t\t5\t6\r\nBM4\t102\r\n");
  auto* table = Window().findChild<QTableView*>("grdMarks");
  table->setCurrentIndex(Marks().index(2, 0));  // below the listed marks
  Window().mnuPaste_Click();
  const auto& marks = Window().document().project().marks;
  ASSERT_EQ(marks.size(), 4u);
  EXPECT_EQ(marks[2].name, "BM3");
  EXPECT_EQ(marks[2].northing, 6);
  EXPECT_EQ(marks[3].elevation, 102);
}

TEST_F(OfficeWindow, TheExampleNetworkAdjustsWithTheToolsStandardError) {
  OpenAndAdjust(Path("network/project.qproject"));
  const ProjectResult& result = *window->document().result();
  EXPECT_EQ(result.mode, AdjustMode::kNetwork);
  ASSERT_TRUE(result.sigma_aposteriori);
  const QString summary = window->findChild<QPlainTextEdit*>("txtSummary")->toPlainText();
  EXPECT_NE(summary.indexOf("This level network MEETS third order specifications."), -1);
  EXPECT_NE(summary.indexOf(QString("The standard error of unit weight is %1mm")
                                .arg(*result.sigma_aposteriori, 0, 'f', 3)),
            -1)
      << summary.toStdString();
  EXPECT_EQ(ColumnTexts(Runs(), RunsModel::kVerdict), QStringList(6, QStringLiteral("meets")));
  // An edit makes the results go: they were another project's.
  Marks().setData(Marks().index(0, MarksModel::kElevation), "499.9");
  EXPECT_EQ(window->document().result(), nullptr);
  EXPECT_EQ(ColumnTexts(Runs(), RunsModel::kMisclosure), QStringList(6, QString()));
}

TEST_F(OfficeWindow, AFieldFileChangedSinceItWasReadIsReadAgainAtAdjust) {
  OpenAndAdjust(Path("single.qproject"));
  EXPECT_EQ(window->document().result()->runs[0].verdict, RunVerdict::kMeets);
  // The ending bench mark's rod, 1.5 m, becomes 2.5 m: a metre of misclosure.
  std::string bytes = ReadBytes(Path("run.txt"));
  const std::size_t last = bytes.rfind("1.500");
  ASSERT_NE(last, std::string::npos);
  bytes.replace(last, 5, "2.500");
  WriteBytes(Path("run.txt"), bytes);
  QFile(Path("run.txt"))
      .setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime);
  window->mnuAdjust_Click();
  window->jobs().Wait();
  ASSERT_NE(window->document().result(), nullptr);
  EXPECT_EQ(window->document().result()->runs[0].verdict, RunVerdict::kFails);
  EXPECT_EQ(window->document().Run(Path("run.txt"))->size, static_cast<qint64>(bytes.size()));
}

TEST_F(OfficeWindow, AsksBeforeDroppingUnsavedChangesAndSavesAtomically) {
  Window().mnuNew_Click();
  Drop({Path("run.txt")});
  EXPECT_TRUE(Window().windowTitle().startsWith("Untitled project*"));
  // Cancel keeps the window open; Save asks where, then closes.
  services.save_changes = {SaveChangesAnswer::kCancel};
  EXPECT_FALSE(Window().close());
  services.save_changes = {SaveChangesAnswer::kSave};
  services.file = {Path("saved")};
  EXPECT_TRUE(Window().close());
  const QString saved = Path("saved.qproject");
  QString error;
  const std::optional<Project> project = LoadProjectFile(saved, error);
  ASSERT_TRUE(project) << error.toStdString();
  EXPECT_EQ(project->runs, QStringList{Path("run.txt")});
  // A newer project is refused with its message, and the window keeps its own.
  window.reset();
  WriteBytes(Path("newer.qproject"), R"({"format": "quarrow-project", "version": 9})");
  EXPECT_FALSE(Window().OpenProject(Path("newer.qproject")));
  ASSERT_EQ(services.problems.size(), 1u);
  EXPECT_NE(services.problems[0].indexOf("newer Quarrow Office (project version 9)"), -1);
  EXPECT_TRUE(Window().document().path().isEmpty());
  // The saved project is the first of the recent ones.
  EXPECT_EQ(QSettings().value("recentProjects").toStringList().value(0), saved);
}

TEST_F(OfficeWindow, RemembersItsSizeAndLayout) {
  Window().resize(1100, 700);
  Window().close();
  window.reset();
  EXPECT_EQ(Window().size(), QSize(1100, 700));
}

TEST_F(OfficeWindow, EveryActionHasAShortcutAndATip) {
  const std::pair<const char*, QKeySequence::StandardKey> standard[] = {
      {"&New Project", QKeySequence::New},   {"&Open Project...", QKeySequence::Open},
      {"&Save Project", QKeySequence::Save}, {"&Undo", QKeySequence::Undo},
      {"&Redo", QKeySequence::Redo},         {"&Quit", QKeySequence::Quit}};
  // Something to reopen, so that the recent projects have an entry.
  Window().OpenProject(Path("single.qproject"));
  Window().jobs().Wait();
  window.reset();
  const QList<QAction*> top = Window().menuBar()->actions();
  std::vector<QAction*> actions(top.begin(), top.end());
  int checked = 0;
  int standard_found = 0;
  while (!actions.empty()) {
    QAction* action = actions.back();
    actions.pop_back();
    if (action->menu() != nullptr) {
      const QList<QAction*> inner = action->menu()->actions();
      actions.insert(actions.end(), inner.begin(), inner.end());
      continue;
    }
    if (action->isSeparator()) continue;
    SCOPED_TRACE(action->text().toStdString());
    EXPECT_FALSE(action->shortcut().isEmpty());
    EXPECT_FALSE(action->toolTip().isEmpty());
    ++checked;
    for (const auto& [text, key] : standard) {
      if (action->text().startsWith(QLatin1String(text))) {
        if (!QKeySequence(key).isEmpty()) {
          EXPECT_EQ(action->shortcut(), QKeySequence(key));
        }
        ++standard_found;
      }
    }
  }
  EXPECT_GT(checked, 25);
  EXPECT_EQ(standard_found, 6);
}

}  // namespace
}  // namespace quarrow
