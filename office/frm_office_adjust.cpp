// frmOffice's jobs (reading, adjusting, exporting), off the window's
// thread, and how their outcome reaches the window.

#include <QAction>
#include <QFileInfo>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPromise>
#include <QSortFilterProxyModel>
#include <QTabWidget>
#include <QTableView>
#include <QtConcurrent>

#include "office/display.h"
#include "office/frm_office.h"
#include "office/office_dialogs.h"
#include "office/office_services.h"
#include "office/runs_model.h"

namespace quarrow {

namespace {

using ReadRunPointer = std::shared_ptr<const ProjectRun>;
using ExportOutcome = std::pair<bool, std::string>;

// An adjustment, and the runs it read again because their files changed.
struct AdjustOutcome {
  ProjectResult result;
  std::vector<ReadRunPointer> read_again;
};

QString Counted(qsizetype n, const QString& one, const QString& many) {
  return n == 1 ? one : many.arg(n);
}

QString Lines(const std::string& text) {
  QString shown = Shown(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return shown;
}

}  // namespace

void frmOffice::StartReading() {
  UpdateActions();
  const QStringList paths = document_.RunsToRead();
  if (paths.isEmpty()) {
    if (adjust_after_reading_) StartAdjusting();
    return;
  }
  if (jobs_->busy()) return;  // the running job reads them when it ends
  const RunReadSettings settings = ReadSettingsOf(document_.project().options);
  DiskPlatform* disk = &disk_;
  QThreadPool* pool = &pool_;
  jobs_->Start<ReadRunPointer>(
      Counted(paths.size(), tr("Reading a run..."), tr("Reading %1 runs...")),
      [paths, settings, disk, pool](JobRunner::CancelFlag cancelled) {
        return QtConcurrent::mapped(pool, paths, [settings, disk, cancelled](const QString& path) {
          return ReadRunPointer(
              std::make_shared<ProjectRun>(ReadProjectRun(*disk, path, settings, cancelled)));
        });
      },
      [this](const QFuture<ReadRunPointer>& future, bool cancelled) {
        if (cancelled) {
          adjust_after_reading_ = false;
          ShowStatus(tr("Reading was cancelled. Adjust (F5) reads what is left."));
          UpdateActions();
          return;
        }
        const QList<ReadRunPointer> read = future.results();
        document_.StoreRuns({read.begin(), read.end()});
        ResizeColumns();
        StartReading();  // what changed meanwhile, then the adjustment asked for
      });
  UpdateActions();
}

void frmOffice::mnuAdjust_Click() { StartAdjusting(); }

void frmOffice::StartAdjusting() {
  if (jobs_->busy() || !document_.RunsToRead().isEmpty()) {
    adjust_after_reading_ = true;
    if (!jobs_->busy()) StartReading();
    return;
  }
  adjust_after_reading_ = false;
  const Project project = document_.project();
  const std::vector<ReadRunPointer> runs = document_.ReadRuns();
  DiskPlatform* disk = &disk_;
  QThreadPool* pool = &pool_;
  jobs_->Start<AdjustOutcome>(
      tr("Adjusting..."),
      [project, runs, disk, pool](JobRunner::CancelFlag cancelled) {
        return QtConcurrent::run(
            pool, [project, runs, disk, cancelled](QPromise<AdjustOutcome>& promise) {
              promise.setProgressRange(0, 0);
              AdjustOutcome outcome;
              try {
                // A file changed since it was read is read again first.
                std::vector<ReadRunPointer> current = runs;
                const RunReadSettings settings = ReadSettingsOf(project.options);
                for (ReadRunPointer& run : current) {
                  if (cancelled()) break;
                  if (!NeedsReading(*run, settings)) continue;
                  run = std::make_shared<ProjectRun>(
                      ReadProjectRun(*disk, run->path, settings, cancelled));
                  outcome.read_again.push_back(run);
                }
                outcome.result = AdjustProject(*disk, project, current, cancelled,
                                               [&promise](int done, int total) {
                                                 promise.setProgressRange(0, total);
                                                 promise.setProgressValue(done);
                                               });
              } catch (const std::exception& fault) {
                // A fault of the engine is told, not fatal.
                outcome = AdjustOutcome{};
                outcome.result.problem = std::string("The adjustment failed: ") + fault.what();
              }
              promise.addResult(std::move(outcome));
            });
      },
      [this, project](const QFuture<AdjustOutcome>& future, bool cancelled) {
        UpdateActions();
        if (cancelled || future.resultCount() == 0) {
          ShowStatus(tr("Adjusting was cancelled; nothing changed."));
          return;
        }
        if (!(document_.project() == project)) {
          ShowStatus(tr("The project changed while it was being adjusted: press F5 again."));
          return;
        }
        const AdjustOutcome outcome = future.result();
        document_.StoreRuns(outcome.read_again);
        document_.SetResult(outcome.result);
        // With no run chosen, what the adjustment says is the summary.
        if (SelectedRun() < 0) tabRun->setCurrentWidget(txtSummary);
        ShowStatus(outcome.result.adjusted ? tr("Adjusted.") : Shown(outcome.result.problem));
      });
  UpdateActions();
}

void frmOffice::mnuExport_Click() {
  const ProjectResult* result = document_.result();
  if (result == nullptr || !result->adjusted || jobs_->busy()) {
    ShowProblem(tr("Adjust the project first (F5): the export writes the adjustment shown."));
    return;
  }
  ExportChoice choice = last_export_;
  if (choice.folder.isEmpty()) choice.folder = StartFolder();
  if (choice.name.isEmpty()) {
    choice.name =
        document_.path().isEmpty() ? tr("network") : QFileInfo(document_.path()).completeBaseName();
  }
  ExportDialog dialog(result->mode, choice, services_, this);
  if (!services_.RunDialog(dialog)) return;
  last_export_ = dialog.Choice();
  const ExportPlan plan = PlanExport(document_.path(), document_.ReadRuns(), *result, last_export_);
  if (!plan.problem.empty()) {
    ShowProblem(Shown(plan.problem));
    return;
  }
  const std::vector<std::string> existing = ExistingFiles(disk_, plan);
  if (!existing.empty()) {
    QStringList names;
    for (std::size_t i = 0; i < existing.size() && i < 12; ++i) names << Shown(existing[i]);
    if (existing.size() > 12) names << tr("... and %1 more").arg(existing.size() - 12);
    if (!services_.Ask(this, tr("Replace Files"),
                       Counted(static_cast<qsizetype>(existing.size()), tr("This file exists:"),
                               tr("These %1 files exist:")) +
                           QStringLiteral("\n") + names.join(QLatin1Char('\n')) +
                           QStringLiteral("\n") + tr("Do you want to replace them?"))) {
      return;
    }
  }
  StartExport(plan);
}

void frmOffice::StartExport(const ExportPlan& plan) {
  const Project project = document_.project();
  const std::vector<ReadRunPointer> runs = document_.ReadRuns();
  const ProjectResult result = *document_.result();
  DiskPlatform* disk = &disk_;
  QThreadPool* pool = &pool_;
  jobs_->Start<ExportOutcome>(
      tr("Exporting..."),
      [project, runs, result, plan, disk, pool](JobRunner::CancelFlag cancelled) {
        return QtConcurrent::run(
            pool, [project, runs, result, plan, disk, cancelled](QPromise<ExportOutcome>& promise) {
              std::string problem;
              const bool written = ExportProject(
                  *disk, project, runs, result, plan, cancelled,
                  [&promise](int done, int total) {
                    promise.setProgressRange(0, total);
                    promise.setProgressValue(done);
                  },
                  problem);
              promise.addResult(ExportOutcome(written, problem));
            });
      },
      [this, count = plan.files.size(), folder = last_export_.folder](
          const QFuture<ExportOutcome>& future, bool cancelled) {
        UpdateActions();
        if (cancelled || future.resultCount() == 0) {
          ShowStatus(tr("The export was cancelled: nothing was written."));
          return;
        }
        const ExportOutcome outcome = future.result();
        if (!outcome.first) {
          ShowProblem(Lines(outcome.second));
          return;
        }
        ShowStatus(Counted(static_cast<qsizetype>(count), tr("Exported a file to %2."),
                           tr("Exported %1 files to %2."))
                       .arg(folder));
      });
  UpdateActions();
}

void frmOffice::btnCancel_Click() {
  if (!jobs_->busy()) return;
  adjust_after_reading_ = false;
  jobs_->Cancel();
}

void frmOffice::UpdateActions() {
  const bool busy = jobs_ && jobs_->busy();
  const ProjectResult* result = document_.result();
  mnuAdjust->setEnabled(!document_.project().runs.isEmpty());
  mnuExport->setEnabled(!busy && result != nullptr && result->adjusted);
  mnuCancel->setEnabled(busy);
  mnuRemoveRuns->setEnabled(grdRuns->selectionModel()->hasSelection());
  mnuExportMarks->setEnabled(!document_.project().marks.empty());
}

void frmOffice::ResizeColumns() {
  for (QTableView* table : {grdRuns, grdMarks, grdLoops, grdChecks}) {
    table->resizeColumnsToContents();
  }
}

void frmOffice::ShowResult() {
  const ProjectResult* result = document_.result();
  if (result == nullptr) {
    lblMode->setText(document_.project().runs.isEmpty() ? QString() : tr("Not adjusted"));
  } else if (!result->adjusted) {
    lblMode->setText(tr("Not adjusted"));
  } else {
    lblMode->setText(result->mode == AdjustMode::kNetwork ? tr("Adjusted as a network")
                                                          : tr("Adjusted run by run"));
  }
  ResizeColumns();
  UpdateActions();
  ShowSummary();
  ShowRunDetails();
}

void frmOffice::ShowSummary() {
  const ProjectResult* result = document_.result();
  QString text;
  if (document_.project().runs.isEmpty()) {
    text =
        tr("Add runs (Add Files, Add Folder, or drop them on the window), give the marks "
           "their published elevations, then Adjust (F5).");
  } else if (result == nullptr) {
    text = tr("Adjust (F5) to see the summary.");
  } else if (!result->adjusted) {
    text = Lines(result->problem);
  } else {
    text = Lines(result->summary);
    if (result->mode == AdjustMode::kRuns && !details_.summary_box.empty()) {
      text += QStringLiteral("\n\n") + tr("The selected run:") + QStringLiteral("\n") +
              Lines(details_.summary_box);
    }
  }
  txtSummary->setPlainText(text);
}

}  // namespace quarrow
