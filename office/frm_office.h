#pragma once

// frmOffice: Quarrow Office's window. Above, the runs (sortable, each with
// its verdict) beside the network's diagram; below, the marks and the loops
// beside the selected run (its profile, its checks over its field file, its
// report) and the summary. Long work runs
// off the window's thread with its progress and Cancel in the status bar.
// Handlers are named <control>_<event> and connected explicitly; they copy
// what the user chose into the document, start the engine's work and show
// what comes back.

#include <QMainWindow>
#include <QSettings>
#include <QThreadPool>
#include <memory>

#include "office/job_runner.h"
#include "office/office_document.h"
#include "office/office_platform.h"
#include "office/project_export.h"
#include "office/run_details.h"

class QAction;
class QLabel;
class QMenu;
class QMimeData;
class QModelIndex;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSortFilterProxyModel;
class QSplitter;
class QTabWidget;
class QTableView;
class QToolBar;

namespace quarrow {

class ChecksModel;
class LoopsModel;
class MarksModel;
class NetworkDiagramView;
class OfficeServices;
class ProfileView;
class RunsModel;

class frmOffice : public QMainWindow {
 public:
  // `services` must outlive the window.
  explicit frmOffice(OfficeServices& services, QWidget* parent = nullptr);
  ~frmOffice() override;

  OfficeDocument& document() { return document_; }
  JobRunner& jobs() { return *jobs_; }
  // The threads the window's work runs on. Not Qt's global pool: Qt's
  // painting borrows that one's threads, and would wait for the work.
  QThreadPool& pool() { return pool_; }

  // Opens the project file `path`, its problem shown when it cannot be.
  bool OpenProject(const QString& path);
  // Adds runs: files as they are, folders by the run files in them, as
  // Add Files, Add Folder and a drop do; then reads them.
  void AddRuns(const QStringList& paths);
  // Whether the window may close or the project be replaced: asks about
  // unsaved changes, and saves when told to.
  bool MayDropProject();

  // Handlers.
  void mnuNew_Click();
  void mnuOpen_Click();
  void mnuRecent_Click(const QString& path);
  void mnuSave_Click();
  void mnuSaveAs_Click();
  void mnuAddFiles_Click();
  void mnuAddFolder_Click();
  void mnuRemoveRuns_Click();
  void mnuImportMarks_Click();
  void mnuExportMarks_Click();
  void mnuAddMark_Click();
  void mnuRemoveMarks_Click();
  void mnuCopy_Click();
  void mnuPaste_Click();
  void mnuAdjust_Click();
  void mnuExport_Click();
  void mnuOptions_Click();
  void mnuGuide_Click();
  void mnuAbout_Click();
  void mnuQuit_Click();
  void btnCancel_Click();
  void Form_Drop(const QMimeData& data);
  void grdRuns_SelectionChanged();
  void grdMarks_SelectionChanged();
  void grdLoops_SelectionChanged();
  void grdChecks_DoubleClick(const QModelIndex& index);
  void picNetwork_MarkClicked(int mark);
  void picNetwork_ObservationClicked(int observation);

  // The project row of the run selected in the runs table, or -1.
  int SelectedRun() const;
  // Selects the project's run `row` in the runs table.
  void SelectRun(int row);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildViews();
  void BuildActions();
  void BuildMenus();
  void RestoreSettings();
  void SaveSettings();
  QAction* MakeAction(const QString& text, const QKeySequence& shortcut, const QString& tip,
                      void (frmOffice::*handler)());
  void UpdateTitle();
  void UpdateActions();
  void UpdateRecentMenu();
  void RememberProject(const QString& path);
  bool SaveTo(const QString& path);
  QString StartFolder() const;
  void RememberFolder(const QString& path);
  void ShowStatus(const QString& text);
  void ShowProblem(const QString& text);

  // The jobs and what the window does with their outcome.
  void StartReading();
  void StartAdjusting();
  void StartExport(const ExportPlan& plan);
  void ShowResult();
  void ShowRunDetails();
  void ShowChecks();
  void ShowSummary();
  void ShowFieldFileLine(qlonglong line);
  void RefreshDiagram();
  void ShowSelectionInDiagram();
  void ResizeColumns();

  OfficeServices& services_;
  QThreadPool pool_;
  DiskPlatform disk_;
  OfficeDocument document_;
  QSettings settings_;

  RunsModel* runs_ = nullptr;
  QSortFilterProxyModel* runs_sorted_ = nullptr;
  MarksModel* marks_ = nullptr;
  LoopsModel* loops_ = nullptr;
  ChecksModel* checks_ = nullptr;

  QSplitter* splMain = nullptr;
  QSplitter* splTop = nullptr;
  QSplitter* splBottom = nullptr;
  QSplitter* splChecks = nullptr;
  QTableView* grdRuns = nullptr;
  QTabWidget* tabProject = nullptr;
  QTableView* grdMarks = nullptr;
  QTableView* grdLoops = nullptr;
  QTabWidget* tabRun = nullptr;
  ProfileView* picProfile = nullptr;
  QTableView* grdChecks = nullptr;
  QPlainTextEdit* txtFieldFile = nullptr;
  QPlainTextEdit* txtReport = nullptr;
  QTabWidget* tabNetwork = nullptr;
  NetworkDiagramView* picNetwork = nullptr;
  QPlainTextEdit* txtSummary = nullptr;
  QToolBar* tlbMain = nullptr;
  QLabel* lblStatus = nullptr;
  QLabel* lblMode = nullptr;
  QProgressBar* prgProgress = nullptr;
  QPushButton* btnCancel = nullptr;
  std::unique_ptr<JobRunner> jobs_;

  QMenu* mnuFile = nullptr;
  QMenu* mnuRecent = nullptr;
  QAction* mnuNew = nullptr;
  QAction* mnuOpen = nullptr;
  QAction* mnuSave = nullptr;
  QAction* mnuSaveAs = nullptr;
  QAction* mnuAddFiles = nullptr;
  QAction* mnuAddFolder = nullptr;
  QAction* mnuRemoveRuns = nullptr;
  QAction* mnuImportMarks = nullptr;
  QAction* mnuExportMarks = nullptr;
  QAction* mnuAddMark = nullptr;
  QAction* mnuRemoveMarks = nullptr;
  QAction* mnuUndo = nullptr;
  QAction* mnuRedo = nullptr;
  QAction* mnuCopy = nullptr;
  QAction* mnuPaste = nullptr;
  QAction* mnuAdjust = nullptr;
  QAction* mnuExport = nullptr;
  QAction* mnuOptions = nullptr;
  QAction* mnuCancel = nullptr;
  QAction* mnuZoomIn = nullptr;
  QAction* mnuZoomOut = nullptr;
  QAction* mnuZoomFit = nullptr;
  QAction* mnuGuide = nullptr;
  QAction* mnuAbout = nullptr;
  QAction* mnuQuit = nullptr;

  // Per mark of the diagram, its row of the marks table; per observation,
  // the project's run it belongs to.
  std::vector<int> diagram_marks_;
  std::vector<int> diagram_runs_;
  int diagram_generation_ = 0;
  bool adjust_after_reading_ = false;
  int details_generation_ = 0;
  RunDetails details_;
  ExportChoice last_export_;
  QString field_file_shown_;
};

}  // namespace quarrow
