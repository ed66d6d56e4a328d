// frmOffice's views of the selected run (its report, profile, checks and
// field file) and the selection kept alike in the tables and the network
// diagram.

#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QPlainTextEdit>
#include <QSortFilterProxyModel>
#include <QTabWidget>
#include <QTableView>
#include <QTextBlock>
#include <QtConcurrent>
#include <set>
#include <unordered_map>

#include "exports/name_encoding.h"
#include "network/network_picture.h"
#include "office/display.h"
#include "office/frm_office.h"
#include "office/marks_model.h"
#include "office/network_diagram_view.h"
#include "office/profile_view.h"
#include "office/result_models.h"
#include "office/runs_model.h"

namespace quarrow {

namespace {

using ReadRunPointer = std::shared_ptr<const ProjectRun>;

// A field file longer than this is shown only up to it.
constexpr qint64 kShownFieldFileBytes = 4 << 20;

QString Lines(const std::string& text) {
  QString shown = Shown(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return shown;
}

}  // namespace

int frmOffice::SelectedRun() const {
  const QModelIndex current = grdRuns->selectionModel()->currentIndex();
  if (!current.isValid() || !grdRuns->selectionModel()->isRowSelected(current.row())) return -1;
  return runs_sorted_->mapToSource(current).row();
}

void frmOffice::SelectRun(int row) {
  const QModelIndex index = runs_sorted_->mapFromSource(runs_->index(row, 0));
  grdRuns->selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  grdRuns->scrollTo(index);
}

void frmOffice::ShowRunDetails() {
  const int row = SelectedRun();
  const ProjectResult* result = document_.result();
  const int generation = ++details_generation_;
  details_ = RunDetails{};
  ReadRunPointer run = row >= 0 ? document_.Run(document_.project().runs.at(row)) : nullptr;
  QString why;
  if (!run) {
    why = row < 0 ? tr("Select a run to see its profile and its report.") : tr("Reading...");
  } else if (!run->read) {
    why = tr("The run could not be read: see its checks.");
  } else if (result == nullptr || !result->adjusted) {
    why = tr("Adjust (F5) to see the run's profile and its report.");
  } else if (!result->runs[static_cast<std::size_t>(row)].adjusted) {
    why = Lines(result->runs[static_cast<std::size_t>(row)].note);
  }
  if (!why.isEmpty()) {
    picProfile->Clear(why);
    txtReport->setPlainText(why);
    ShowSummary();
    return;
  }
  const Project project = document_.project();
  const AdjustMode mode = result->mode;
  const RunOutcome outcome = result->runs[static_cast<std::size_t>(row)];
  DiskPlatform* disk = &disk_;
  auto* watcher = new QFutureWatcher<RunDetails>(this);
  connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, generation] {
    watcher->deleteLater();
    if (generation != details_generation_) return;  // another run was selected meanwhile
    details_ = watcher->result();
    if (!details_.made) {
      picProfile->Clear(Lines(details_.problem));
      txtReport->setPlainText(Lines(details_.problem));
    } else {
      picProfile->SetProfile(details_.profile);
      QString report = Lines(details_.report);
      if (details_.report_cut) {
        report += tr("\n... the report goes on: Export writes it whole.");
      }
      txtReport->setPlainText(report);
    }
    ShowSummary();
  });
  watcher->setFuture(QtConcurrent::run(&pool_, [disk, project, mode, run, outcome] {
    return MakeRunDetails(*disk, project, mode, *run, outcome);
  }));
}

void frmOffice::ShowChecks() {
  const int row = SelectedRun();
  ReadRunPointer run = row >= 0 ? document_.Run(document_.project().runs.at(row)) : nullptr;
  checks_->SetRun(run);
  grdChecks->resizeColumnsToContents();
  const QString key = run ? run->path + QString::number(run->modified_ms) : QString();
  if (key == field_file_shown_) return;
  field_file_shown_ = key;
  if (!run) {
    txtFieldFile->setPlainText(QString());
    return;
  }
  std::string bytes;
  if (run->converted) {
    bytes = run->converted->substr(0, kShownFieldFileBytes);
  } else {
    QFile file(run->path);
    if (file.open(QIODevice::ReadOnly)) bytes = file.read(kShownFieldFileBytes).toStdString();
  }
  MemoryFiles memory;
  if (run->converted) memory[run->field_path] = run->converted;
  OfficePlatform platform(disk_, &memory);
  const NameEncoding encoding =
      run->read ? DetectNameEncoding(platform, run->field_path, run->record.degree_mark)
                : NameEncoding::kWindows1252;
  const QStringList lines = Shown(ToUtf8(bytes, encoding)).split(QLatin1Char('\n'));
  QString numbered;
  numbered.reserve(static_cast<qsizetype>(bytes.size() + lines.size() * 8));
  for (qsizetype i = 0; i < lines.size(); ++i) {
    QString line = lines[i];
    if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
    if (i + 1 == lines.size() && line.isEmpty()) break;
    numbered += QStringLiteral("%1  ").arg(i + 1, 6) + line + QLatin1Char('\n');
  }
  txtFieldFile->setPlainText(numbered);
}

void frmOffice::ShowFieldFileLine(qlonglong line) {
  const QTextBlock block = txtFieldFile->document()->findBlockByNumber(static_cast<int>(line - 1));
  if (!block.isValid()) {
    ShowStatus(tr("Line %1 is past what is shown of the field file.").arg(line));
    return;
  }
  QTextCursor cursor(block);
  txtFieldFile->setTextCursor(cursor);
  txtFieldFile->centerCursor();
  QTextEdit::ExtraSelection mark;
  mark.cursor = cursor;
  mark.format.setBackground(QColor(255, 236, 179));
  mark.format.setProperty(QTextFormat::FullWidthSelection, true);
  txtFieldFile->setExtraSelections({mark});
}

void frmOffice::grdChecks_DoubleClick(const QModelIndex& index) {
  const qlonglong line = index.data(ChecksModel::kLineRole).toLongLong();
  if (line > 0) ShowFieldFileLine(line);
}

void frmOffice::grdRuns_SelectionChanged() {
  UpdateActions();
  ShowChecks();
  ShowRunDetails();
  ShowSelectionInDiagram();
}

void frmOffice::ShowSelectionInDiagram() {
  std::set<int> rows;
  for (const QModelIndex& index : grdRuns->selectionModel()->selectedRows()) {
    rows.insert(runs_sorted_->mapToSource(index).row());
  }
  std::vector<int> shown;
  for (std::size_t d = 0; d < diagram_runs_.size(); ++d) {
    if (rows.count(diagram_runs_[d]) > 0) shown.push_back(static_cast<int>(d));
  }
  picNetwork->SelectObservations(shown);
}

void frmOffice::grdMarks_SelectionChanged() {
  const QModelIndex current = grdMarks->selectionModel()->currentIndex();
  const auto found = std::find(diagram_marks_.begin(), diagram_marks_.end(),
                               current.isValid() ? current.row() : -2);
  picNetwork->SelectMark(
      found == diagram_marks_.end() ? -1 : static_cast<int>(found - diagram_marks_.begin()));
}

void frmOffice::grdLoops_SelectionChanged() {
  const QModelIndex current = grdLoops->selectionModel()->currentIndex();
  const ProjectResult* result = document_.result();
  if (!current.isValid() || result == nullptr ||
      current.row() >= static_cast<int>(result->loops.size())) {
    return;
  }
  QItemSelection selection;
  for (const LoopStepOutcome& step : result->loops[static_cast<std::size_t>(current.row())].steps) {
    const QModelIndex index = runs_sorted_->mapFromSource(runs_->index(step.run, 0));
    selection.select(index, index);
  }
  grdRuns->selectionModel()->select(
      selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void frmOffice::picNetwork_MarkClicked(int mark) {
  if (mark < 0 || mark >= static_cast<int>(diagram_marks_.size())) return;
  const int row = diagram_marks_[static_cast<std::size_t>(mark)];
  if (row < 0) return;
  tabProject->setCurrentWidget(grdMarks);
  const QModelIndex index = marks_->index(row, MarksModel::kName);
  grdMarks->selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  grdMarks->scrollTo(index);
}

void frmOffice::picNetwork_ObservationClicked(int observation) {
  if (observation >= 0 && observation < static_cast<int>(diagram_runs_.size())) {
    SelectRun(diagram_runs_[static_cast<std::size_t>(observation)]);
  }
}

void frmOffice::RefreshDiagram() {
  const ProjectResult* result = document_.result();
  DiagramData data;
  diagram_marks_.clear();
  diagram_runs_.clear();
  std::unordered_map<std::string, int> row_of;
  for (int row = 0; row < marks_->rowCount(); ++row) row_of.emplace(marks_->NameAt(row), row);
  const bool network = result != nullptr && result->adjusted && result->network;
  if (network) {
    // The network as adjusted: the picture --diagram draws of it.
    data = NetworkDiagramData(NetworkRequestOf(document_.project(), document_.ReadRuns()),
                              *result->network, *result->network_result, disk_.Today(),
                              disk_.DecimalSeparator());
    for (const std::string& name : result->network->mark_names) {
      const auto found = row_of.find(name);
      diagram_marks_.push_back(found == row_of.end() ? -1 : found->second);
    }
    diagram_runs_ = result->network_run;
  } else {
    // The marks the runs meet and the runs between them, as read.
    std::unordered_map<std::string, std::int64_t> index;
    const auto mark_of = [&](const std::string& name) {
      const auto [entry, added] = index.emplace(name, static_cast<std::int64_t>(data.marks.size()));
      if (!added) return entry->second;
      DiagramMark mark;
      mark.name = name;
      const auto row = row_of.find(name);
      diagram_marks_.push_back(row == row_of.end() ? -1 : row->second);
      if (row != row_of.end() && marks_->IsListed(row->second)) {
        const ProjectMark& listed =
            document_.project().marks[static_cast<std::size_t>(row->second)];
        if (listed.elevation) {
          mark.kind = listed.std_dev ? DiagramMarkKind::kWeighted : DiagramMarkKind::kFixed;
          if (result != nullptr && result->adjusted) mark.adjusted_elevation = *listed.elevation;
        }
        if (listed.easting && listed.northing) {
          mark.position = DiagramPosition{*listed.easting, *listed.northing};
        }
      }
      data.marks.push_back(std::move(mark));
      return entry->second;
    };
    const QStringList& runs = document_.project().runs;
    for (int row = 0; row < runs.size(); ++row) {
      const ReadRunPointer run = document_.Run(runs[row]);
      if (!run || !run->read) continue;
      std::vector<const RunRecord*> records;
      if (run->levelled_lines.empty()) records.push_back(&run->record);
      for (const RunRecord& line : run->levelled_lines) records.push_back(&line);
      for (const RunRecord* record : records) {
        DiagramObservation observation;
        observation.from = mark_of(record->from_name);
        observation.to = mark_of(record->to_name);
        observation.label = std::to_string(row + 1);
        observation.kind = record->kind == ObservationKind::kTrigRun
                               ? DiagramObservationKind::kTrigRun
                               : DiagramObservationKind::kLevelledLine;
        data.observations.push_back(std::move(observation));
        diagram_runs_.push_back(row);
      }
    }
    data.units = document_.project().options.units;
    data.date = disk_.Today();
    data.title = "Level runs: " + std::to_string(data.marks.size()) + " marks and " +
                 std::to_string(data.observations.size()) + " observations";
    if (result != nullptr && result->adjusted) {
      data.meets = std::all_of(result->runs.begin(), result->runs.end(), [](const RunOutcome& run) {
        return run.verdict == RunVerdict::kMeets || run.verdict == RunVerdict::kNotRead;
      });
      std::string line;
      for (const char c : result->summary) {
        if (c == '\n') {
          data.summary.push_back(line);
          line.clear();
        } else if (c != '\r') {
          line += c;
        }
      }
      if (!line.empty()) data.summary.push_back(line);
    }
  }
  if (data.marks.empty()) {
    picNetwork->SetPicture(nullptr);
    return;
  }
  // The graph layout of a large network takes a while: off the window's thread.
  const int generation = ++diagram_generation_;
  const bool adjusted = result != nullptr && result->adjusted;
  auto* watcher = new QFutureWatcher<std::shared_ptr<const NetworkPicture>>(this);
  connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, generation] {
    watcher->deleteLater();
    if (generation != diagram_generation_) return;  // the project changed meanwhile
    picNetwork->SetPicture(watcher->result());
    ShowSelectionInDiagram();
    grdMarks_SelectionChanged();
  });
  watcher->setFuture(QtConcurrent::run(
      &pool_, [data = std::move(data), adjusted] { return DrawDiagramPicture(data, adjusted); }));
}

}  // namespace quarrow
