// frmOffice's handlers for the project itself: its file, its runs and its
// marks.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QSaveFile>
#include <QSet>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QUrl>
#include <set>

#include "office/display.h"
#include "office/frm_office.h"
#include "office/marks_csv.h"
#include "office/marks_model.h"
#include "office/office_dialogs.h"
#include "office/office_services.h"
#include "platform/qt_platform.h"

namespace quarrow {

namespace {

const char* const kProjectFilter = "Quarrow projects (*.qproject);;All files (*)";
const char* const kRunFilter =
    "Runs (*.txt *.jxl *.xml *.gsi *.rw5 *.sdr *.gt7 *.dat);;Field files (*.txt);;"
    "Raw files (*.jxl *.xml *.gsi *.rw5 *.sdr *.gt7);;Digital levels (*.gsi *.dat);;"
    "All files (*)";
const char* const kMarksFilter = "Marks CSV (*.csv);;All files (*)";
// The files of a folder that are taken as runs; files chosen one by one or
// dropped are taken whatever their names.
const QStringList kRunPatterns = {QStringLiteral("*.txt"), QStringLiteral("*.jxl"),
                                  QStringLiteral("*.xml"), QStringLiteral("*.gsi"),
                                  QStringLiteral("*.rw5"), QStringLiteral("*.sdr"),
                                  QStringLiteral("*.gt7"), QStringLiteral("*.dat")};

QStringList LocalFiles(const QMimeData& data) {
  QStringList files;
  for (const QUrl& url : data.urls()) {
    if (url.isLocalFile()) files << url.toLocalFile();
  }
  return files;
}

QString Counted(qsizetype n, const QString& one, const QString& many) {
  return n == 1 ? one : many.arg(n);
}

}  // namespace

bool frmOffice::MayDropProject() {
  if (!document_.modified()) return true;
  const QString name =
      document_.path().isEmpty() ? tr("Untitled project") : QFileInfo(document_.path()).fileName();
  switch (services_.AskSaveChanges(this, name)) {
    case SaveChangesAnswer::kSave:
      mnuSave_Click();
      return !document_.modified();
    case SaveChangesAnswer::kDiscard:
      return true;
    case SaveChangesAnswer::kCancel:
      return false;
  }
  return false;
}

bool frmOffice::OpenProject(const QString& path) {
  QString error;
  const QString absolute = QFileInfo(path).absoluteFilePath();
  std::optional<Project> project = LoadProjectFile(absolute, error);
  if (!project) {
    ShowProblem(error);
    return false;
  }
  document_.Reset(std::move(*project), absolute);
  RememberProject(absolute);
  ShowStatus(tr("Opened %1.").arg(absolute));
  return true;
}

void frmOffice::mnuNew_Click() {
  if (!MayDropProject()) return;
  document_.Reset(Project{}, QString());
}

void frmOffice::mnuOpen_Click() {
  if (!MayDropProject()) return;
  const QString path =
      services_.ChooseFile(this, tr("Open Project"), StartFolder(), tr(kProjectFilter));
  if (!path.isEmpty()) OpenProject(path);
}

void frmOffice::mnuRecent_Click(const QString& path) {
  if (!MayDropProject()) return;
  OpenProject(path);
}

bool frmOffice::SaveTo(const QString& path) {
  QString error;
  if (!SaveProjectFile(document_.project(), path, error)) {
    ShowProblem(error);
    return false;
  }
  document_.MarkSaved(path);
  RememberProject(path);
  ShowStatus(tr("Saved %1.").arg(path));
  return true;
}

void frmOffice::mnuSave_Click() {
  if (document_.path().isEmpty()) {
    mnuSaveAs_Click();
    return;
  }
  SaveTo(document_.path());
}

void frmOffice::mnuSaveAs_Click() {
  const QString suggested = document_.path().isEmpty()
                                ? QDir(StartFolder()).filePath(tr("project.qproject"))
                                : document_.path();
  QString path =
      services_.ChooseSaveFile(this, tr("Save Project As"), suggested, tr(kProjectFilter));
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".qproject");
  path = QFileInfo(path).absoluteFilePath();
  if (path != document_.path() && QFileInfo::exists(path) &&
      !services_.Ask(this, tr("Replace Project"),
                     tr("%1 exists.\nDo you want to replace it?").arg(path))) {
    return;
  }
  SaveTo(path);
}

void frmOffice::AddRuns(const QStringList& paths) {
  QStringList added;
  const QStringList& listed = document_.project().runs;
  QSet<QString> taken(listed.begin(), listed.end());
  taken.insert(document_.path());
  const auto take = [&](const QString& file) {
    const QString path = QDir::cleanPath(QFileInfo(file).absoluteFilePath());
    if (taken.contains(path)) return;
    taken.insert(path);
    added << path;
  };
  for (const QString& path : paths) {
    const QFileInfo info(path);
    if (!info.isDir()) {
      take(path);
      continue;
    }
    QDir folder(path);
    for (const QFileInfo& file :
         folder.entryInfoList(kRunPatterns, QDir::Files | QDir::Readable, QDir::Name)) {
      take(file.absoluteFilePath());
    }
  }
  if (added.isEmpty()) {
    ShowStatus(tr("No new run: those files are in the project already, or the folder holds none."));
    return;
  }
  RememberFolder(added.front());
  // The first runs of a project set its units when their files name them.
  std::optional<Units> named;
  if (listed.isEmpty()) named = UnitsNamedByFiles(disk_, added);
  document_.Edit(Counted(added.size(), tr("Add a run"), tr("Add %1 runs")),
                 [&added, &named](Project& project) {
                   project.runs += added;
                   if (named) project.options.units = *named;
                 });
}

void frmOffice::mnuAddFiles_Click() {
  const QStringList files =
      services_.ChooseFiles(this, tr("Add Files"), StartFolder(), tr(kRunFilter));
  if (!files.isEmpty()) AddRuns(files);
}

void frmOffice::mnuAddFolder_Click() {
  const QString folder = services_.ChooseFolder(this, tr("Add Folder"), StartFolder());
  if (!folder.isEmpty()) AddRuns({folder});
}

void frmOffice::Form_Drop(const QMimeData& data) {
  const QStringList files = LocalFiles(data);
  if (!files.isEmpty()) AddRuns(files);
}

void frmOffice::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData() != nullptr && !LocalFiles(*event->mimeData()).isEmpty()) {
    event->acceptProposedAction();
  }
}

void frmOffice::dropEvent(QDropEvent* event) {
  if (event->mimeData() == nullptr) return;
  Form_Drop(*event->mimeData());
  event->acceptProposedAction();
}

void frmOffice::mnuRemoveRuns_Click() {
  std::set<int> rows;
  for (const QModelIndex& index : grdRuns->selectionModel()->selectedRows()) {
    rows.insert(runs_sorted_->mapToSource(index).row());
  }
  if (rows.empty()) return;
  document_.Edit(
      Counted(static_cast<qsizetype>(rows.size()), tr("Remove a run"), tr("Remove %1 runs")),
      [&rows](Project& project) {
        for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
          project.runs.removeAt(*row);
        }
      });
}

void frmOffice::mnuImportMarks_Click() {
  const QString path =
      services_.ChooseFile(this, tr("Import Marks"), StartFolder(), tr(kMarksFilter));
  if (path.isEmpty()) return;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    ShowProblem(tr("%1: the marks file cannot be opened: %2.").arg(path, file.errorString()));
    return;
  }
  std::string error;
  const QByteArray bytes = file.readAll();
  const auto marks = ReadMarksCsv(std::string_view(bytes.constData(), bytes.size()), error);
  if (!marks) {
    ShowProblem(path + QStringLiteral(", ") + Shown(error) + tr(" No mark was imported."));
    return;
  }
  RememberFolder(path);
  document_.Edit(tr("Import marks"), [&marks](Project& project) {
    for (const ProjectMark& mark : *marks) {
      auto same = std::find_if(project.marks.begin(), project.marks.end(),
                               [&mark](const ProjectMark& m) { return m.name == mark.name; });
      if (same != project.marks.end()) {
        *same = mark;
      } else {
        project.marks.push_back(mark);
      }
    }
  });
  ShowStatus(Counted(static_cast<qsizetype>(marks->size()), tr("Imported a mark from %2."),
                     tr("Imported %1 marks from %2."))
                 .arg(path));
}

void frmOffice::mnuExportMarks_Click() {
  QString path = services_.ChooseSaveFile(
      this, tr("Export Marks"), QDir(StartFolder()).filePath(tr("marks.csv")), tr(kMarksFilter));
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".csv");
  if (QFileInfo::exists(path) &&
      !services_.Ask(this, tr("Replace File"),
                     tr("%1 exists.\nDo you want to replace it?").arg(path))) {
    return;
  }
  const std::string text = MarksCsv(document_.project().marks);
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(text.data(), static_cast<qint64>(text.size())) !=
          static_cast<qint64>(text.size()) ||
      !file.commit()) {
    ShowProblem(tr("%1: the marks cannot be written: %2. Any earlier file is as it was.")
                    .arg(path, file.errorString()));
    return;
  }
  RememberFolder(path);
  ShowStatus(tr("Wrote the marks to %1.").arg(path));
}

void frmOffice::mnuAddMark_Click() {
  const int row = marks_->AddMark();
  tabProject->setCurrentWidget(grdMarks);
  const QModelIndex name = marks_->index(row, MarksModel::kName);
  grdMarks->setCurrentIndex(name);
  grdMarks->edit(name);
}

void frmOffice::mnuRemoveMarks_Click() {
  std::vector<int> rows;
  for (const QModelIndex& index : grdMarks->selectionModel()->selectedIndexes()) {
    rows.push_back(index.row());
  }
  marks_->RemoveMarks(rows);
}

void frmOffice::mnuCopy_Click() {
  QTableView* table = grdMarks->hasFocus() ? grdMarks : grdRuns->hasFocus() ? grdRuns : nullptr;
  if (table == nullptr) table = qobject_cast<QTableView*>(QApplication::focusWidget());
  if (table == nullptr) return;
  QModelIndexList cells = table->selectionModel()->selectedIndexes();
  if (cells.isEmpty()) return;
  std::sort(cells.begin(), cells.end(), [](const QModelIndex& a, const QModelIndex& b) {
    return a.row() != b.row() ? a.row() < b.row() : a.column() < b.column();
  });
  QString text;
  int row = cells.front().row();
  bool first = true;
  for (const QModelIndex& cell : cells) {
    if (cell.row() != row) {
      text += QLatin1Char('\n');
      row = cell.row();
      first = true;
    }
    if (!first) text += QLatin1Char('\t');
    text += cell.data(table == grdMarks ? Qt::EditRole : Qt::DisplayRole).toString();
    first = false;
  }
  QApplication::clipboard()->setText(text + QLatin1Char('\n'));
}

void frmOffice::mnuPaste_Click() {
  const QString text = QApplication::clipboard()->text();
  if (text.isEmpty()) return;
  tabProject->setCurrentWidget(grdMarks);
  const QModelIndex at = grdMarks->currentIndex();
  const int column = at.isValid() && at.column() <= MarksModel::kNorthing ? at.column() : 0;
  if (marks_->Paste(at.isValid() ? at.row() : -1, column, text)) {
    ShowStatus(tr("Pasted into the marks table (Undo takes it back)."));
  }
}

void frmOffice::mnuOptions_Click() {
  OptionsDialog dialog(document_.project().options, this);
  if (!services_.RunDialog(dialog)) return;
  const ProjectOptions options = dialog.Options();
  document_.Edit(tr("Change the options"),
                 [&options](Project& project) { project.options = options; });
}

void frmOffice::mnuAbout_Click() {
  AboutDialog about(this);
  services_.RunDialog(about);
}

void frmOffice::mnuGuide_Click() {
  const QString guide = QDir(QCoreApplication::applicationDirPath())
                            .filePath(QStringLiteral("Trimble Level Run.pdf"));
  if (!QFileInfo::exists(guide)) {
    ShowProblem(tr("The field guide is not beside the program:\n%1").arg(guide));
    return;
  }
  if (!services_.OpenDocument(guide)) ShowStatus(tr("No viewer could open %1.").arg(guide));
}

void frmOffice::mnuQuit_Click() { close(); }

}  // namespace quarrow
