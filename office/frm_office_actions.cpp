// frmOffice's actions, each with its shortcut and tip, its tool bar and
// its menus.

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSettings>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>

#include "office/frm_office.h"
#include "office/network_diagram_view.h"
#include "office/profile_view.h"

namespace quarrow {

namespace {

// A standard shortcut, or `otherwise` where the desktop names none for it.
QKeySequence Standard(QKeySequence::StandardKey key, const char* otherwise) {
  const QKeySequence standard(key);
  return standard.isEmpty() ? QKeySequence(QString::fromLatin1(otherwise)) : standard;
}

}  // namespace

QAction* frmOffice::MakeAction(const QString& text, const QKeySequence& shortcut,
                               const QString& tip, void (frmOffice::*handler)()) {
  auto* action = new QAction(text, this);
  action->setShortcut(shortcut);
  const QString keys = shortcut.toString(QKeySequence::NativeText);
  action->setToolTip(keys.isEmpty() ? tip : tip + QStringLiteral(" (") + keys + QLatin1Char(')'));
  action->setStatusTip(tip);
  if (handler != nullptr) connect(action, &QAction::triggered, this, handler);
  addAction(action);
  return action;
}

void frmOffice::BuildActions() {
  QStyle* look = style();
  mnuNew = MakeAction(tr("&New Project"), Standard(QKeySequence::New, "Ctrl+N"),
                      tr("Start an empty project"), &frmOffice::mnuNew_Click);
  mnuOpen = MakeAction(tr("&Open Project..."), Standard(QKeySequence::Open, "Ctrl+O"),
                       tr("Open a project file (.qproject)"), &frmOffice::mnuOpen_Click);
  mnuSave = MakeAction(tr("&Save Project"), Standard(QKeySequence::Save, "Ctrl+S"),
                       tr("Save the project file"), &frmOffice::mnuSave_Click);
  mnuSave->setIcon(look->standardIcon(QStyle::SP_DialogSaveButton));
  mnuSaveAs = MakeAction(tr("Save Project &As..."), Standard(QKeySequence::SaveAs, "Ctrl+Shift+S"),
                         tr("Save the project under another name; its paths follow"),
                         &frmOffice::mnuSaveAs_Click);
  mnuAddFiles = MakeAction(tr("Add &Files..."), QKeySequence(tr("Ctrl+I")),
                           tr("Add field files and raw files (JobXML, GSI) as runs"),
                           &frmOffice::mnuAddFiles_Click);
  mnuAddFiles->setIcon(look->standardIcon(QStyle::SP_FileIcon));
  mnuAddFolder = MakeAction(tr("Add Fol&der..."), QKeySequence(tr("Ctrl+Shift+I")),
                            tr("Add every field file and raw file of a folder as runs"),
                            &frmOffice::mnuAddFolder_Click);
  mnuAddFolder->setIcon(look->standardIcon(QStyle::SP_DirIcon));
  mnuRemoveRuns = MakeAction(tr("&Remove Runs"), QKeySequence(tr("Ctrl+Del")),
                             tr("Take the selected runs out of the project (their files stay)"),
                             &frmOffice::mnuRemoveRuns_Click);
  mnuImportMarks = MakeAction(tr("&Import Marks..."), QKeySequence(tr("Ctrl+M")),
                              tr("Read marks from a marks CSV; marks of the same name are updated"),
                              &frmOffice::mnuImportMarks_Click);
  mnuExportMarks =
      MakeAction(tr("E&xport Marks..."), QKeySequence(tr("Ctrl+Shift+M")),
                 tr("Write the marks table as a marks CSV"), &frmOffice::mnuExportMarks_Click);
  mnuAddMark = MakeAction(tr("Add &Mark"), QKeySequence(tr("Ctrl+Shift+N")),
                          tr("Add a mark to the marks table"), &frmOffice::mnuAddMark_Click);
  mnuRemoveMarks = MakeAction(tr("Remove Mar&ks"), QKeySequence(tr("Ctrl+Shift+Del")),
                              tr("Take the selected marks out of the marks table"),
                              &frmOffice::mnuRemoveMarks_Click);
  mnuUndo = document_.undo().createUndoAction(this, tr("&Undo"));
  mnuUndo->setShortcut(Standard(QKeySequence::Undo, "Ctrl+Z"));
  mnuUndo->setToolTip(tr("Undo the last edit of the project (%1)")
                          .arg(mnuUndo->shortcut().toString(QKeySequence::NativeText)));
  mnuUndo->setIcon(look->standardIcon(QStyle::SP_ArrowBack));
  mnuRedo = document_.undo().createRedoAction(this, tr("&Redo"));
  mnuRedo->setShortcut(Standard(QKeySequence::Redo, "Ctrl+Shift+Z"));
  mnuRedo->setToolTip(tr("Redo the edit last undone (%1)")
                          .arg(mnuRedo->shortcut().toString(QKeySequence::NativeText)));
  mnuRedo->setIcon(look->standardIcon(QStyle::SP_ArrowForward));
  addAction(mnuUndo);
  addAction(mnuRedo);
  mnuCopy =
      MakeAction(tr("&Copy"), Standard(QKeySequence::Copy, "Ctrl+C"),
                 tr("Copy the selected cells as tab-separated text"), &frmOffice::mnuCopy_Click);
  mnuPaste = MakeAction(tr("&Paste Marks"), Standard(QKeySequence::Paste, "Ctrl+V"),
                        tr("Paste marks copied from a spreadsheet into the marks table"),
                        &frmOffice::mnuPaste_Click);
  mnuAdjust = MakeAction(tr("&Adjust"), QKeySequence(Qt::Key_F5),
                         tr("Adjust the project: each run between its marks, or the network"),
                         &frmOffice::mnuAdjust_Click);
  mnuAdjust->setIcon(look->standardIcon(QStyle::SP_MediaPlay));
  mnuExport = MakeAction(tr("&Export..."), QKeySequence(tr("Ctrl+E")),
                         tr("Write the reports, CSV, JSON and profiles as the tools write them"),
                         &frmOffice::mnuExport_Click);
  mnuExport->setIcon(look->standardIcon(QStyle::SP_DialogOpenButton));
  mnuOptions = MakeAction(tr("&Options..."), QKeySequence(tr("Ctrl+,")),
                          tr("Units, curvature and refraction, distribution, sigma and orders"),
                          &frmOffice::mnuOptions_Click);
  mnuCancel = MakeAction(tr("&Cancel"), QKeySequence(Qt::Key_Escape),
                         tr("Stop the work in progress"), &frmOffice::btnCancel_Click);
  mnuZoomIn = MakeAction(tr("Zoom &In"), Standard(QKeySequence::ZoomIn, "Ctrl++"),
                         tr("Enlarge the network diagram"), nullptr);
  mnuZoomOut = MakeAction(tr("Zoom &Out"), Standard(QKeySequence::ZoomOut, "Ctrl+-"),
                          tr("Shrink the network diagram"), nullptr);
  mnuZoomFit = MakeAction(tr("&Fit the Network"), QKeySequence(tr("Ctrl+0")),
                          tr("Show the whole network diagram"), nullptr);
  connect(mnuZoomIn, &QAction::triggered, picNetwork, &NetworkDiagramView::ZoomIn);
  connect(mnuZoomOut, &QAction::triggered, picNetwork, &NetworkDiagramView::ZoomOut);
  connect(mnuZoomFit, &QAction::triggered, picNetwork, &NetworkDiagramView::ZoomToFit);
  mnuGuide = MakeAction(tr("Field &Guide"), Standard(QKeySequence::HelpContents, "F1"),
                        tr("Open the field guide, with its chapter on this window"),
                        &frmOffice::mnuGuide_Click);
  mnuAbout = MakeAction(tr("&About Quarrow Office"), QKeySequence(tr("Shift+F1")),
                        tr("The version and the licence"), &frmOffice::mnuAbout_Click);
  mnuQuit = MakeAction(tr("&Quit"), Standard(QKeySequence::Quit, "Ctrl+Q"), tr("Close the window"),
                       &frmOffice::mnuQuit_Click);

  tlbMain = addToolBar(tr("Project"));
  tlbMain->setObjectName(QStringLiteral("tlbMain"));
  tlbMain->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  tlbMain->setMovable(false);
  for (QAction* action : {mnuAddFiles, mnuAddFolder, mnuAdjust, mnuExport, mnuSave}) {
    tlbMain->addAction(action);
    if (action == mnuAddFolder || action == mnuExport) tlbMain->addSeparator();
  }
  // What screen readers (and the tests) call the tool buttons.
  const std::pair<QAction*, QString> names[] = {{mnuAddFiles, tr("Add Files")},
                                                {mnuAddFolder, tr("Add Folder")},
                                                {mnuAdjust, tr("Adjust")},
                                                {mnuExport, tr("Export")},
                                                {mnuSave, tr("Save Project")}};
  for (const auto& [action, name] : names) {
    action->setIconText(name);
    QWidget* button = tlbMain->widgetForAction(action);
    button->setAccessibleName(name);
    button->setObjectName(QStringLiteral("btn") + QString(name).remove(QLatin1Char(' ')));
  }
}

void frmOffice::BuildMenus() {
  QMenuBar* bar = menuBar();
  mnuFile = bar->addMenu(tr("&File"));
  mnuFile->addActions({mnuNew, mnuOpen});
  mnuRecent = mnuFile->addMenu(tr("Open &Recent"));
  mnuFile->addActions({mnuSave, mnuSaveAs});
  mnuFile->addSeparator();
  mnuFile->addActions({mnuAddFiles, mnuAddFolder, mnuRemoveRuns});
  mnuFile->addSeparator();
  mnuFile->addActions({mnuImportMarks, mnuExportMarks});
  mnuFile->addSeparator();
  mnuFile->addAction(mnuExport);
  mnuFile->addSeparator();
  mnuFile->addAction(mnuQuit);
  QMenu* edit = bar->addMenu(tr("&Edit"));
  edit->addActions({mnuUndo, mnuRedo});
  edit->addSeparator();
  edit->addActions({mnuCopy, mnuPaste});
  edit->addSeparator();
  edit->addActions({mnuAddMark, mnuRemoveMarks});
  QMenu* project = bar->addMenu(tr("&Project"));
  project->addActions({mnuAdjust, mnuCancel});
  project->addSeparator();
  project->addAction(mnuOptions);
  QMenu* view = bar->addMenu(tr("&View"));
  view->addActions({mnuZoomIn, mnuZoomOut, mnuZoomFit});
  view->addSeparator();
  // Each view a key away.
  const std::pair<QTabWidget*, QWidget*> pages[] = {
      {tabRun, picProfile},     {tabRun, splChecks},    {tabRun, txtReport},   {tabRun, txtSummary},
      {tabNetwork, picNetwork}, {tabProject, grdMarks}, {tabProject, grdLoops}};
  int key = 1;
  for (const auto& [tabs, page] : pages) {
    QAction* show = view->addAction(tabs->tabText(tabs->indexOf(page)));
    show->setShortcut(QKeySequence(QStringLiteral("Alt+%1").arg(key++)));
    show->setToolTip(tr("Show the %1 view (%2)")
                         .arg(show->text(), show->shortcut().toString(QKeySequence::NativeText)));
    connect(show, &QAction::triggered, this, [tabs, page] {
      tabs->setCurrentWidget(page);
      page->setFocus();
    });
  }
  QMenu* help = bar->addMenu(tr("&Help"));
  help->addActions({mnuGuide, mnuAbout});
  for (QMenu* menu : {mnuFile, edit, project, view, help}) menu->setToolTipsVisible(true);
  UpdateRecentMenu();
}

}  // namespace quarrow
