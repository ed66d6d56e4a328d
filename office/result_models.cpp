#include "office/result_models.h"

#include <QFileInfo>
#include <QLocale>

#include "office/display.h"

namespace quarrow {

LoopsModel::LoopsModel(OfficeDocument& document, QObject* parent)
    : QAbstractTableModel(parent), document_(document) {
  icons_ = {VerdictIcon(RunVerdict::kMeets), VerdictIcon(RunVerdict::kFails)};
  connect(&document_, &OfficeDocument::resultChanged, this, [this] {
    beginResetModel();
    endResetModel();
  });
}

int LoopsModel::rowCount(const QModelIndex& parent) const {
  const ProjectResult* result = document_.result();
  return parent.isValid() || result == nullptr ? 0 : static_cast<int>(result->loops.size());
}

int LoopsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QString LoopsModel::RunsText(const LoopOutcome& loop) const {
  QStringList runs;
  for (const LoopStepOutcome& step : loop.steps) {
    const QString name = QFileInfo(document_.project().runs.value(step.run)).completeBaseName();
    runs << (step.forward ? name : QStringLiteral("\u2212") + name);
  }
  QString text = runs.join(QStringLiteral(", "));
  if (!loop.first_fixed.empty()) {
    text +=
        tr(" (from %1 to %2)").arg(MarkNameText(loop.first_fixed), MarkNameText(loop.last_fixed));
  }
  return text;
}

QVariant LoopsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return QVariant();
  const LoopOutcome& loop = document_.result()->loops[static_cast<std::size_t>(index.row())];
  const RunVerdict verdict = loop.meets ? RunVerdict::kMeets : RunVerdict::kFails;
  if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
    switch (index.column()) {
      case kLoop:
        return index.row() + 1;
      case kRuns:
        return RunsText(loop);
      case kLength:
        return FormatNumber(loop.length);
      case kMisclosure:
        return FormatNumber(loop.misclosure);
      case kAllowed:
        return FormatNumber(loop.allowed);
      case kVerdict:
        return VerdictText(verdict);
      default:
        return QVariant();
    }
  }
  if (role == Qt::DecorationRole && index.column() == kVerdict) {
    return icons_[loop.meets ? 0 : 1];
  }
  if (role == Qt::ForegroundRole && index.column() == kVerdict) return VerdictColor(verdict);
  if (role == Qt::ToolTipRole && index.column() == kRuns) {
    return loop.first_fixed.empty()
               ? tr("A loop of runs: its misclosure is zero for perfect levelling.")
               : tr("A chain of runs between two fixed marks, against their published "
                    "difference.");
  }
  if (role == Qt::TextAlignmentRole) {
    const bool number = index.column() != kRuns && index.column() != kVerdict;
    return QVariant((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
  }
  return QVariant();
}

QVariant LoopsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QVariant();
  switch (section) {
    case kLoop:
      return tr("Loop");
    case kRuns:
      return tr("Runs");
    case kLength:
      return tr("Length");
    case kMisclosure:
      return tr("Misclosure");
    case kAllowed:
      return tr("Allowed");
    case kVerdict:
      return tr("Third order");
    default:
      return QVariant();
  }
}

ChecksModel::ChecksModel(QObject* parent) : QAbstractTableModel(parent) {
  icons_ = {VerdictIcon(RunVerdict::kNotRead), VerdictIcon(RunVerdict::kFails),
            VerdictIcon(RunVerdict::kMeets), VerdictIcon(RunVerdict::kNotChecked)};
}

void ChecksModel::SetRun(std::shared_ptr<const ProjectRun> run) {
  beginResetModel();
  run_ = std::move(run);
  entries_.clear();
  if (run_ && !run_->read) {
    entries_.push_back({Kind::kProblem, 0, Shown(run_->problem)});
  }
  if (run_ && run_->read) {
    for (const FieldFileWarning& warning : run_->warnings) {
      entries_.push_back({Kind::kWarning, warning.line, Shown(warning.text)});
    }
    const auto kept = static_cast<std::int64_t>(run_->warnings.size());
    if (run_->warning_count > kept) {
      entries_.push_back(
          {Kind::kNote, 0, tr("... and %1 warnings more.").arg(run_->warning_count - kept)});
    }
    if (run_->warning_count == 0) {
      entries_.push_back(
          {Kind::kClean, 0, tr("No warnings: every observation line reads as it is written.")});
    }
  }
  if (run_ && run_->converted) {
    QString summary = Shown(run_->conversion_summary).trimmed();
    entries_.push_back({Kind::kNote, 0,
                        tr("Converted in memory from %1 (nothing is written beside it): %2")
                            .arg(QString::fromStdString(run_->format),
                                 summary.replace(QLatin1Char('\n'), QStringLiteral("; ")))});
  }
  endResetModel();
}

int ChecksModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

int ChecksModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant ChecksModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return QVariant();
  const Entry& entry = entries_[static_cast<std::size_t>(index.row())];
  switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
      if (index.column() == kLine) {
        return entry.line > 0 ? QLocale().toString(static_cast<qlonglong>(entry.line)) : QString();
      }
      return entry.text;
    case Qt::ToolTipRole:
      return index.column() == kCheck ? entry.text : QVariant();
    case kLineRole:
      return static_cast<qlonglong>(entry.line);
    case Qt::DecorationRole:
      if (index.column() != kCheck) return QVariant();
      return icons_[static_cast<std::size_t>(entry.kind)];
    case Qt::TextAlignmentRole:
      return QVariant((index.column() == kLine ? Qt::AlignRight : Qt::AlignLeft) |
                      Qt::AlignVCenter);
    default:
      return QVariant();
  }
}

QVariant ChecksModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QVariant();
  return section == kLine ? tr("Line") : tr("Check");
}

}  // namespace quarrow
