#include "office/frm_office.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHeaderView>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "office/marks_model.h"
#include "office/network_diagram_view.h"
#include "office/office_services.h"
#include "office/profile_view.h"
#include "office/result_models.h"
#include "office/runs_model.h"

namespace quarrow {

namespace {

constexpr int kRecentProjects = 8;

QTableView* MakeTable(QWidget* parent, const char* name, const QString& accessible) {
  auto* table = new QTableView(parent);
  table->setObjectName(QString::fromLatin1(name));
  table->setAccessibleName(accessible);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setAlternatingRowColors(true);
  table->setWordWrap(false);
  table->setTextElideMode(Qt::ElideRight);
  table->verticalHeader()->setVisible(false);
  table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 8);
  table->horizontalHeader()->setHighlightSections(false);
  table->horizontalHeader()->setStretchLastSection(true);
  table->horizontalHeader()->setResizeContentsPrecision(64);
  return table;
}

QPlainTextEdit* MakeText(QWidget* parent, const char* name, const QString& accessible) {
  auto* text = new QPlainTextEdit(parent);
  text->setObjectName(QString::fromLatin1(name));
  text->setAccessibleName(accessible);
  text->setReadOnly(true);
  text->setLineWrapMode(QPlainTextEdit::NoWrap);
  text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  return text;
}

QSplitter* MakeSplitter(Qt::Orientation orientation, const char* name) {
  auto* splitter = new QSplitter(orientation);
  splitter->setObjectName(QString::fromLatin1(name));
  splitter->setChildrenCollapsible(false);
  return splitter;
}

}  // namespace

frmOffice::frmOffice(OfficeServices& services, QWidget* parent)
    : QMainWindow(parent), services_(services) {
  setObjectName(QStringLiteral("frmOffice"));
  setWindowIcon(QIcon::fromTheme(QStringLiteral("quarrow"),
                                 QIcon(QStringLiteral(":/office/quarrow-48.png"))));
  setAcceptDrops(true);
  BuildViews();
  BuildActions();
  BuildMenus();
  RestoreSettings();

  connect(&document_, &OfficeDocument::stateChanged, this, &frmOffice::UpdateTitle);
  connect(&document_, &OfficeDocument::resultChanged, this, &frmOffice::ShowResult);
  connect(&document_, &OfficeDocument::runsChanged, this, &frmOffice::StartReading);
  connect(&document_, &OfficeDocument::optionsChanged, this, &frmOffice::StartReading);
  // The picture follows runs, marks and results; laid out once per turn of
  // the event loop however many of them changed.
  auto* diagram_timer = new QTimer(this);
  diagram_timer->setSingleShot(true);
  connect(diagram_timer, &QTimer::timeout, this, &frmOffice::RefreshDiagram);
  for (auto signal : {&OfficeDocument::runsChanged, &OfficeDocument::runsRead,
                      &OfficeDocument::marksChanged, &OfficeDocument::resultChanged}) {
    connect(&document_, signal, diagram_timer, [diagram_timer] { diagram_timer->start(0); });
  }
  connect(&document_, &OfficeDocument::runsRead, this, &frmOffice::ShowChecks);
  UpdateTitle();
  UpdateActions();
  ShowResult();
}

frmOffice::~frmOffice() {
  jobs_->Cancel();
  jobs_->Wait();
  pool_.waitForDone();
  // The views and their models read the document, a member that dies before
  // QWidget's destructor hides and deletes the children: they go first.
  hide();
  qDeleteAll(findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
  qDeleteAll(findChildren<QAbstractItemModel*>(Qt::FindDirectChildrenOnly));
}

void frmOffice::BuildViews() {
  runs_ = new RunsModel(document_, this);
  runs_sorted_ = new QSortFilterProxyModel(this);
  runs_sorted_->setSourceModel(runs_);
  runs_sorted_->setSortRole(RunsModel::kSortRole);
  marks_ = new MarksModel(document_, this);
  marks_->on_problem = [this](const QString& text) { ShowStatus(text); };
  loops_ = new LoopsModel(document_, this);
  checks_ = new ChecksModel(this);

  grdRuns = MakeTable(this, "grdRuns", tr("Runs"));
  grdRuns->setModel(runs_sorted_);
  grdRuns->setSortingEnabled(true);
  grdRuns->sortByColumn(-1, Qt::AscendingOrder);
  grdRuns->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grdRuns->setToolTip(tr("The runs of the project: drop field files, raw files or folders here"));
  grdMarks = MakeTable(this, "grdMarks", tr("Marks"));
  grdMarks->setModel(marks_);
  grdMarks->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
  grdMarks->setSelectionBehavior(QAbstractItemView::SelectItems);
  grdLoops = MakeTable(this, "grdLoops", tr("Loops"));
  grdLoops->setModel(loops_);
  grdLoops->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grdChecks = MakeTable(this, "grdChecks", tr("Checks"));
  grdChecks->setModel(checks_);
  grdChecks->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grdChecks->setToolTip(tr("Double-click a warning to see its line of the field file"));

  picProfile = new ProfileView(this);
  picProfile->setObjectName(QStringLiteral("picProfile"));
  txtFieldFile = MakeText(this, "txtFieldFile", tr("Field File"));
  txtReport = MakeText(this, "txtReport", tr("Report"));
  picNetwork = new NetworkDiagramView(this);
  picNetwork->setObjectName(QStringLiteral("picNetwork"));
  txtSummary = MakeText(this, "txtSummary", tr("Summary"));

  tabProject = new QTabWidget(this);
  tabProject->setObjectName(QStringLiteral("tabProject"));
  tabProject->addTab(grdMarks, tr("Marks"));
  tabProject->addTab(grdLoops, tr("Loops"));
  splChecks = MakeSplitter(Qt::Vertical, "splChecks");
  splChecks->addWidget(grdChecks);
  splChecks->addWidget(txtFieldFile);
  splChecks->setSizes({160, 240});
  tabRun = new QTabWidget(this);
  tabRun->setObjectName(QStringLiteral("tabRun"));
  tabRun->addTab(picProfile, tr("Profile"));
  tabRun->addTab(splChecks, tr("Checks"));
  tabRun->addTab(txtReport, tr("Report"));
  // The summary box is 80 columns wide: it goes where there is room.
  tabRun->addTab(txtSummary, tr("Summary"));
  tabNetwork = new QTabWidget(this);
  tabNetwork->setObjectName(QStringLiteral("tabNetwork"));
  tabNetwork->addTab(picNetwork, tr("Network Diagram"));

  splTop = MakeSplitter(Qt::Horizontal, "splTop");
  splTop->addWidget(grdRuns);
  splTop->addWidget(tabNetwork);
  splTop->setStretchFactor(0, 5);
  splTop->setStretchFactor(1, 2);
  splTop->setSizes({1030, 370});
  splBottom = MakeSplitter(Qt::Horizontal, "splBottom");
  splBottom->addWidget(tabProject);
  splBottom->addWidget(tabRun);
  splBottom->setStretchFactor(0, 2);
  splBottom->setStretchFactor(1, 3);
  splBottom->setSizes({610, 790});
  splMain = MakeSplitter(Qt::Vertical, "splMain");
  splMain->addWidget(splTop);
  splMain->addWidget(splBottom);
  splMain->setSizes({400, 440});
  setCentralWidget(splMain);

  lblStatus = new QLabel(this);
  lblStatus->setObjectName(QStringLiteral("lblStatus"));
  lblMode = new QLabel(this);
  lblMode->setObjectName(QStringLiteral("lblMode"));
  prgProgress = new QProgressBar(this);
  prgProgress->setObjectName(QStringLiteral("prgProgress"));
  prgProgress->setAccessibleName(tr("Progress"));
  prgProgress->setMaximumWidth(220);
  btnCancel = new QPushButton(tr("Cancel"), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  btnCancel->setAccessibleName(tr("Cancel"));
  btnCancel->setToolTip(tr("Stop the work in progress; nothing is changed or written (Esc)"));
  statusBar()->addWidget(lblStatus, 1);
  statusBar()->addPermanentWidget(lblMode);
  statusBar()->addPermanentWidget(prgProgress);
  statusBar()->addPermanentWidget(btnCancel);
  jobs_ = std::make_unique<JobRunner>(*prgProgress, *btnCancel, *lblStatus);

  connect(btnCancel, &QPushButton::clicked, this, &frmOffice::btnCancel_Click);
  connect(grdRuns->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &frmOffice::grdRuns_SelectionChanged);
  connect(grdMarks->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &frmOffice::grdMarks_SelectionChanged);
  connect(grdLoops->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &frmOffice::grdLoops_SelectionChanged);
  connect(grdChecks, &QTableView::doubleClicked, this, &frmOffice::grdChecks_DoubleClick);
  connect(picNetwork, &NetworkDiagramView::markClicked, this, &frmOffice::picNetwork_MarkClicked);
  connect(picNetwork, &NetworkDiagramView::observationClicked, this,
          &frmOffice::picNetwork_ObservationClicked);
}

void frmOffice::RestoreSettings() {
  resize(1400, 880);
  restoreGeometry(settings_.value(QStringLiteral("window/geometry")).toByteArray());
  restoreState(settings_.value(QStringLiteral("window/state")).toByteArray());
  for (QSplitter* splitter : {splMain, splTop, splBottom, splChecks}) {
    splitter->restoreState(
        settings_.value(QStringLiteral("window/") + splitter->objectName()).toByteArray());
  }
}

void frmOffice::SaveSettings() {
  settings_.setValue(QStringLiteral("window/geometry"), saveGeometry());
  settings_.setValue(QStringLiteral("window/state"), saveState());
  for (QSplitter* splitter : {splMain, splTop, splBottom, splChecks}) {
    settings_.setValue(QStringLiteral("window/") + splitter->objectName(), splitter->saveState());
  }
}

void frmOffice::UpdateTitle() {
  const QString name =
      document_.path().isEmpty() ? tr("Untitled project") : QFileInfo(document_.path()).fileName();
  setWindowTitle(name + (document_.modified() ? QStringLiteral("*") : QString()) +
                 QStringLiteral(" - ") + tr("Quarrow Office"));
}

void frmOffice::UpdateRecentMenu() {
  mnuRecent->clear();
  const QStringList recent = settings_.value(QStringLiteral("recentProjects")).toStringList();
  int number = 1;
  for (const QString& path : recent) {
    QAction* open = mnuRecent->addAction(QStringLiteral("&%1 %2").arg(number).arg(path));
    open->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+%1").arg(number++)));
    open->setToolTip(tr("Open %1").arg(path));
    connect(open, &QAction::triggered, this, [this, path] { mnuRecent_Click(path); });
  }
  mnuRecent->setEnabled(!recent.isEmpty());
}

void frmOffice::RememberProject(const QString& path) {
  QStringList recent = settings_.value(QStringLiteral("recentProjects")).toStringList();
  recent.removeAll(path);
  recent.prepend(path);
  while (recent.size() > kRecentProjects) recent.removeLast();
  settings_.setValue(QStringLiteral("recentProjects"), recent);
  RememberFolder(path);
  // Written now, while the window is busy opening anyway, not at its next
  // paint.
  settings_.sync();
  UpdateRecentMenu();
}

QString frmOffice::StartFolder() const {
  if (!document_.path().isEmpty()) return QFileInfo(document_.path()).absolutePath();
  return settings_.value(QStringLiteral("lastFolder")).toString();
}

void frmOffice::RememberFolder(const QString& path) {
  const QFileInfo info(path);
  settings_.setValue(QStringLiteral("lastFolder"),
                     info.isDir() ? info.absoluteFilePath() : info.absolutePath());
}

void frmOffice::ShowStatus(const QString& text) { statusBar()->showMessage(text, 8000); }

void frmOffice::ShowProblem(const QString& text) {
  services_.ShowProblem(this, tr("Quarrow Office"), text);
}

void frmOffice::closeEvent(QCloseEvent* event) {
  if (!MayDropProject()) {
    event->ignore();
    return;
  }
  jobs_->Cancel();
  jobs_->Wait();
  SaveSettings();
  event->accept();
}

}  // namespace quarrow
