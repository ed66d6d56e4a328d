#include "office/runs_model.h"

#include <QFileInfo>
#include <cmath>

#include "office/display.h"

namespace quarrow {

namespace {

QString OrdersText(const std::vector<OrderMet>& orders) {
  // The highest of the reported orders the run meets; the list is first-i first.
  for (const OrderMet& order : orders) {
    if (order.meets) return QString::fromStdString(order.order);
  }
  return orders.empty() ? QString() : QObject::tr("none");
}

}  // namespace

RunsModel::RunsModel(OfficeDocument& document, QObject* parent)
    : QAbstractTableModel(parent), document_(document) {
  for (const RunVerdict verdict :
       {RunVerdict::kMeets, RunVerdict::kFails, RunVerdict::kNotChecked, RunVerdict::kNotRead}) {
    icons_[static_cast<std::size_t>(verdict)] = VerdictIcon(verdict);
  }
  connect(&document_, &OfficeDocument::runsChanged, this, [this] {
    beginResetModel();
    endResetModel();
  });
  connect(&document_, &OfficeDocument::runsRead, this, &RunsModel::Refresh);
  connect(&document_, &OfficeDocument::resultChanged, this, &RunsModel::Refresh);
  connect(&document_, &OfficeDocument::marksChanged, this, &RunsModel::Refresh);
}

void RunsModel::Refresh() {
  if (rowCount() == 0) return;
  emit dataChanged(index(0, 0), index(rowCount() - 1, kColumnCount - 1));
}

int RunsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(document_.project().runs.size());
}

int RunsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

const RunOutcome* RunsModel::Outcome(int row) const {
  const ProjectResult* result = document_.result();
  if (result == nullptr || row >= static_cast<int>(result->runs.size())) return nullptr;
  return &result->runs[static_cast<std::size_t>(row)];
}

RunVerdict RunsModel::VerdictOf(int row) const {
  const auto run = document_.Run(document_.project().runs.at(row));
  if (run && !run->read) return RunVerdict::kNotRead;
  const RunOutcome* outcome = Outcome(row);
  return outcome ? outcome->verdict : RunVerdict::kNotChecked;
}

QVariant RunsModel::Text(int row, int column) const {
  const QString& path = document_.project().runs.at(row);
  if (column == kFile) return QFileInfo(path).fileName();
  const auto run = document_.Run(path);
  if (column == kVerdict) return run ? VerdictText(VerdictOf(row)) : tr("reading");
  if (!run) return QVariant();
  if (column == kFormat) return QString::fromStdString(run->format);
  if (!run->read) return QVariant();
  const RunRecord& record = run->record;
  switch (column) {
    case kSetups:
      return QLocale().toString(static_cast<qlonglong>(record.setups));
    case kLength:
      return FormatNumber(record.length);
    case kFrom:
      return MarkNameText(record.from_name);
    case kTo:
      return MarkNameText(record.to_name);
    default:
      break;
  }
  const RunOutcome* outcome = Outcome(row);
  // A digital level's file is not adjusted as one run, but its lines have residuals.
  if (outcome != nullptr && column == kStandardized && outcome->standardized) {
    return FormatNumber(*outcome->standardized, 2);
  }
  if (outcome != nullptr && column == kFlag && outcome->flagged) return tr("blunder?");
  if (outcome == nullptr || !outcome->adjusted) return QVariant();
  switch (column) {
    case kMisclosure:
      return FormatNumber(outcome->misclosure);
    case kAllowed:
      return FormatNumber(outcome->allowed);
    case kBalance:
      return FormatNumber(outcome->balance);
    case kOrders:
      return OrdersText(outcome->orders);
    case kStandardized:
      return outcome->standardized ? FormatNumber(*outcome->standardized, 2) : QString();
    case kFlag:
      return outcome->flagged ? tr("blunder?") : QString();
    default:
      return QVariant();
  }
}

QVariant RunsModel::SortValue(int row, int column) const {
  const auto run = document_.Run(document_.project().runs.at(row));
  const RunOutcome* outcome = Outcome(row);
  const bool adjusted = outcome != nullptr && outcome->adjusted;
  switch (column) {
    case kSetups:
      return run && run->read ? QVariant(static_cast<qlonglong>(run->record.setups)) : QVariant();
    case kLength:
      return run && run->read ? QVariant(run->record.length) : QVariant();
    case kVerdict:
      return static_cast<int>(VerdictOf(row));
    case kMisclosure:
      return adjusted ? QVariant(std::fabs(outcome->misclosure)) : QVariant();
    case kAllowed:
      return adjusted ? QVariant(outcome->allowed) : QVariant();
    case kBalance:
      return adjusted ? QVariant(std::fabs(outcome->balance)) : QVariant();
    case kStandardized:
      return outcome != nullptr && outcome->standardized
                 ? QVariant(std::fabs(*outcome->standardized))
                 : QVariant();
    default:
      return Text(row, column);
  }
}

QString RunsModel::ToolTip(int row, int column) const {
  const QString& path = document_.project().runs.at(row);
  const auto run = document_.Run(path);
  if (run && !run->read) return Shown(run->problem);
  const RunOutcome* outcome = Outcome(row);
  if (column == kOrders && outcome != nullptr) {
    QStringList lines;
    for (const OrderMet& order : outcome->orders) {
      lines << QString::fromStdString(order.order) + QStringLiteral(": ") +
                   (order.meets ? tr("meets") : tr("fails"));
    }
    return lines.join(QLatin1Char('\n'));
  }
  if (column == kVerdict && outcome != nullptr && !outcome->note.empty()) {
    return Shown(outcome->note);
  }
  if (run && !run->levelled_lines.empty() && (column == kFrom || column == kTo)) {
    QStringList lines;
    for (const RunRecord& line : run->levelled_lines) {
      lines << tr("line %1: %2 to %3")
                   .arg(line.line)
                   .arg(MarkNameText(line.from_name), MarkNameText(line.to_name));
    }
    return lines.join(QLatin1Char('\n'));
  }
  if (column == kFile) return path;
  return QString();
}

QVariant RunsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return QVariant();
  const int row = index.row();
  const int column = index.column();
  switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
      return Text(row, column);
    case kSortRole:
      return SortValue(row, column);
    case Qt::ToolTipRole:
      return ToolTip(row, column);
    case Qt::DecorationRole:
      if (column != kVerdict || !document_.Run(document_.project().runs.at(row))) return QVariant();
      return icons_[static_cast<std::size_t>(VerdictOf(row))];
    case Qt::ForegroundRole:
      if (column == kVerdict) return VerdictColor(VerdictOf(row));
      if (column == kFlag) return VerdictColor(RunVerdict::kFails);
      return QVariant();
    case Qt::TextAlignmentRole:
      if (column == kSetups || column == kLength || (column >= kMisclosure && column <= kBalance) ||
          column == kStandardized) {
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
      }
      return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    default:
      return QVariant();
  }
}

QVariant RunsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return QVariant();
  if (role == Qt::ToolTipRole) {
    switch (section) {
      case kMisclosure:
        return tr("The closing error between the run's marks as adjusted");
      case kAllowed:
        return tr("The third-order allowance for the run's length");
      case kBalance:
        return tr("The sum of backsight less the sum of foresight distances");
      case kOrders:
        return tr("The highest FGCS order the run meets, of those the options report");
      case kStandardized:
        return tr("The network's standardized residual of the run");
      case kFlag:
        return tr("A standardized residual beyond 3.29: a likely blunder");
      default:
        return QVariant();
    }
  }
  if (role != Qt::DisplayRole) return QVariant();
  switch (section) {
    case kFile:
      return tr("File");
    case kFormat:
      return tr("Format");
    case kSetups:
      return tr("Setups");
    case kLength:
      return tr("Length");
    case kFrom:
      return tr("From");
    case kTo:
      return tr("To");
    case kVerdict:
      return tr("Verdict");
    case kMisclosure:
      return tr("Misclosure");
    case kAllowed:
      return tr("Allowed");
    case kBalance:
      return tr("Balance");
    case kOrders:
      return tr("Orders met");
    case kStandardized:
      return tr("Std. residual");
    case kFlag:
      return tr("Flag");
    default:
      return QVariant();
  }
}

}  // namespace quarrow
