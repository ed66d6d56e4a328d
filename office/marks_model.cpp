#include "office/marks_model.h"

#include <QFont>
#include <QLocale>
#include <map>
#include <set>

#include "office/display.h"
#include "office/marks_csv.h"

namespace quarrow {

namespace {

// A published value as typed: every digit it has, at least the report's three.
QString ExactNumber(double value) {
  QString text = QLocale().toString(value, 'f', QLocale::FloatingPointShortest);
  const QString point = QLocale().decimalPoint();
  const qsizetype at = text.indexOf(point);
  const qsizetype decimals = at < 0 ? 0 : text.size() - at - point.size();
  return decimals >= 3 ? text : QLocale().toString(value, 'f', 3);
}

QString Optional(const std::optional<double>& value, bool editing) {
  if (!value) return QString();
  return editing ? QLocale().toString(*value, 'g', QLocale::FloatingPointShortest)
                 : ExactNumber(*value);
}

ProjectMark NamedMark(const std::string& name) {
  ProjectMark mark;
  mark.name = name;
  return mark;
}

}  // namespace

MarksModel::MarksModel(OfficeDocument& document, QObject* parent)
    : QAbstractTableModel(parent), document_(document) {
  Rebuild();
  connect(&document_, &OfficeDocument::marksChanged, this, &MarksModel::Refresh);
  connect(&document_, &OfficeDocument::runsChanged, this, &MarksModel::Refresh);
  connect(&document_, &OfficeDocument::runsRead, this, &MarksModel::Refresh);
  connect(&document_, &OfficeDocument::resultChanged, this, [this] {
    IndexOutcomes();
    if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, kColumnCount - 1));
  });
}

void MarksModel::Rebuild() {
  rows_.clear();
  std::map<std::string, int> runs;
  for (const QString& path : document_.project().runs) {
    const auto run = document_.Run(path);
    if (!run || !run->read) continue;
    const auto count = [&runs](const RunRecord& record) {
      ++runs[record.from_name];
      if (record.to_name != record.from_name) ++runs[record.to_name];
    };
    if (run->levelled_lines.empty()) count(run->record);
    for (const RunRecord& line : run->levelled_lines) count(line);
  }
  std::set<std::string> listed;
  for (const ProjectMark& mark : document_.project().marks) {
    rows_.push_back({true, mark.name, runs[mark.name]});
    listed.insert(mark.name);
  }
  for (const std::string& name : document_.RunMarkNames()) {
    if (listed.count(name) == 0) rows_.push_back({false, name, runs[name]});
  }
}

void MarksModel::Refresh() {
  // Same rows: only their cells changed, so an edit in progress and the
  // selection stay where they are.
  std::vector<Row> before = rows_;
  Rebuild();
  const bool same = before.size() == rows_.size() &&
                    std::equal(before.begin(), before.end(), rows_.begin(),
                               [](const Row& a, const Row& b) { return a.listed == b.listed; });
  if (!same) {
    std::swap(before, rows_);
    beginResetModel();
    std::swap(before, rows_);
    endResetModel();
    return;
  }
  if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, kColumnCount - 1));
}

void MarksModel::IndexOutcomes() {
  outcomes_.clear();
  if (document_.result() == nullptr) return;
  for (const MarkOutcome& mark : document_.result()->marks) outcomes_.emplace(mark.name, &mark);
}

const MarkOutcome* MarksModel::Outcome(const std::string& name) const {
  const auto found = outcomes_.find(name);
  return found == outcomes_.end() ? nullptr : found->second;
}

int MarksModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int MarksModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

bool MarksModel::IsListed(int row) const { return rows_.at(static_cast<std::size_t>(row)).listed; }

const std::string& MarksModel::NameAt(int row) const {
  return rows_.at(static_cast<std::size_t>(row)).name;
}

int MarksModel::RowOf(const std::string& name) const {
  for (std::size_t r = 0; r < rows_.size(); ++r) {
    if (rows_[r].name == name) return static_cast<int>(r);
  }
  return -1;
}

QVariant MarksModel::Text(int row, int column, bool editing) const {
  const Row& entry = rows_[static_cast<std::size_t>(row)];
  const MarkOutcome* outcome = Outcome(entry.name);
  if (column == kName) return MarkNameText(entry.name);
  if (column == kRuns) return entry.runs;
  if (column == kAdjusted) return outcome ? FormatNumber(outcome->elevation) : QString();
  if (column == kAdjustedStdDev) return outcome ? FormatNumber(outcome->std_dev) : QString();
  if (!entry.listed) {
    if (column != kStatus) return QString();
    if (outcome && !outcome->checked) return tr("adjusted, not checked");
    return outcome ? tr("adjusted") : tr("from the runs");
  }
  const ProjectMark& mark = document_.project().marks[static_cast<std::size_t>(row)];
  switch (column) {
    case kElevation:
      return Optional(mark.elevation, editing);
    case kStdDev:
      return Optional(mark.std_dev, editing);
    case kEasting:
      return Optional(mark.easting, editing);
    case kNorthing:
      return Optional(mark.northing, editing);
    case kStatus:
      if (entry.runs == 0) return tr("on no run");
      if (!mark.elevation) return tr("no elevation");
      if (outcome && !outcome->checked) return tr("not checked");
      return mark.std_dev ? tr("weighted") : tr("fixed");
    default:
      return QVariant();
  }
}

QVariant MarksModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return QVariant();
  const Row& entry = rows_[static_cast<std::size_t>(index.row())];
  switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
      return Text(index.row(), index.column(), false);
    case Qt::EditRole:
      return Text(index.row(), index.column(), true);
    case Qt::ForegroundRole:
      if (entry.listed && entry.runs == 0) return QColor(130, 130, 130);
      if (!entry.listed && index.column() <= kStatus) return QColor(84, 110, 122);
      return QVariant();
    case Qt::FontRole:
      if (entry.listed && entry.runs > 0) return QVariant();
      {
        QFont italic;
        italic.setItalic(true);
        return italic;
      }
    case Qt::ToolTipRole:
      if (entry.listed && entry.runs == 0) {
        return tr("No run of the project begins or ends on this mark: nothing adjusts it.");
      }
      if (!entry.listed) {
        return tr(
            "A mark the runs meet that the table does not list: type its published "
            "elevation to hold it.");
      }
      return QVariant();
    case Qt::TextAlignmentRole:
      if (index.column() == kName || index.column() == kStatus) {
        return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
      }
      return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    default:
      return QVariant();
  }
}

QVariant MarksModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QVariant();
  switch (section) {
    case kName:
      return tr("Mark");
    case kElevation:
      return tr("Elevation");
    case kStdDev:
      return tr("Std. dev.");
    case kEasting:
      return tr("Easting");
    case kNorthing:
      return tr("Northing");
    case kStatus:
      return tr("Status");
    case kRuns:
      return tr("Runs");
    case kAdjusted:
      return tr("Adjusted");
    case kAdjustedStdDev:
      return tr("Adj. std. dev.");
    default:
      return QVariant();
  }
}

Qt::ItemFlags MarksModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  const bool listed = IsListed(index.row());
  const bool editable = index.column() <= kNorthing && (listed || index.column() != kName);
  return editable ? flags | Qt::ItemIsEditable : flags;
}

void MarksModel::Problem(const QString& text) const {
  if (on_problem) on_problem(text);
}

bool MarksModel::NameTaken(const std::string& name, int except_row) const {
  for (std::size_t r = 0; r < rows_.size(); ++r) {
    if (static_cast<int>(r) != except_row && rows_[r].listed && rows_[r].name == name) return true;
  }
  return false;
}

bool MarksModel::ReadCell(ProjectMark& mark, int column, const QString& text,
                          QString& problem) const {
  if (column == kName) {
    mark.name = text.trimmed().toStdString();
    problem = Shown(MarkNameProblem(mark.name));
    return problem.isEmpty();
  }
  std::optional<double>* field = column == kElevation ? &mark.elevation
                                 : column == kStdDev  ? &mark.std_dev
                                 : column == kEasting ? &mark.easting
                                                      : &mark.northing;
  if (text.trimmed().isEmpty()) {
    field->reset();
    return true;
  }
  const std::optional<double> value = ReadTypedNumber(text);
  if (!value) {
    problem =
        tr("\"%1\" is not a number (type it as %2).").arg(text, QLocale().toString(12.345, 'f', 3));
    return false;
  }
  if (column == kStdDev && !(*value > 0)) {
    problem = tr("A standard deviation must be above zero; leave it empty to hold the mark fixed.");
    return false;
  }
  *field = value;
  return true;
}

bool MarksModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) return false;
  const int row = index.row();
  const Row entry = rows_[static_cast<std::size_t>(row)];
  ProjectMark mark = entry.listed ? document_.project().marks[static_cast<std::size_t>(row)]
                                  : NamedMark(entry.name);
  QString problem;
  if (!ReadCell(mark, index.column(), value.toString(), problem)) {
    Problem(problem);
    return false;
  }
  if (index.column() == kName && NameTaken(mark.name, row)) {
    Problem(tr("The mark %1 is listed already.").arg(MarkNameText(mark.name)));
    return false;
  }
  const QString what = headerData(index.column(), Qt::Horizontal).toString().toLower();
  if (entry.listed) {
    document_.Edit(
        tr("Edit %1 of %2").arg(what, MarkNameText(entry.name)),
        [row, &mark](Project& project) { project.marks[static_cast<std::size_t>(row)] = mark; });
  } else {
    document_.Edit(tr("Add mark %1").arg(MarkNameText(entry.name)),
                   [&mark](Project& project) { project.marks.push_back(mark); });
  }
  return true;
}

bool MarksModel::Paste(int row, int column, const QString& text) {
  QStringList lines = text.split(QLatin1Char('\n'));
  for (QString& line : lines) {
    if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
  }
  while (!lines.isEmpty() && lines.back().trimmed().isEmpty()) lines.removeLast();
  if (lines.isEmpty() || column < 0 || column > kNorthing) return false;
  // A header copied with the marks: its elevation is no number.
  if (lines.size() > 1 && column == kName) {
    const QStringList first = lines.front().split(QLatin1Char('\t'));
    if (first.size() > 1 && !first[1].trimmed().isEmpty() && !ReadTypedNumber(first[1])) {
      lines.removeFirst();
    }
  }
  if (row < 0) row = static_cast<int>(rows_.size());
  std::vector<ProjectMark> marks = document_.project().marks;
  const std::size_t listed = marks.size();
  for (int i = 0; i < lines.size(); ++i) {
    const int target = row + i;
    const bool existing = target < static_cast<int>(listed);
    ProjectMark mark = existing ? marks[static_cast<std::size_t>(target)] : ProjectMark{};
    if (!existing && target < static_cast<int>(rows_.size())) {
      mark.name = rows_[static_cast<std::size_t>(target)].name;
    }
    const QStringList cells = lines[i].split(QLatin1Char('\t'));
    for (int j = 0; j < cells.size() && column + j <= kNorthing; ++j) {
      QString problem;
      if (!ReadCell(mark, column + j, cells[j], problem)) {
        Problem(tr("Pasted line %1: %2 Nothing was pasted.").arg(i + 1).arg(problem));
        return false;
      }
    }
    if (mark.name.empty()) {
      Problem(tr("Pasted line %1 adds a mark, but gives it no name: paste new marks with their "
                 "names in the first column. Nothing was pasted.")
                  .arg(i + 1));
      return false;
    }
    if (existing) {
      marks[static_cast<std::size_t>(target)] = mark;
    } else {
      marks.push_back(mark);
    }
  }
  std::set<std::string> names;
  for (const ProjectMark& mark : marks) {
    if (names.insert(mark.name).second) continue;
    Problem(tr("The paste would list the mark %1 twice. Nothing was pasted.")
                .arg(MarkNameText(mark.name)));
    return false;
  }
  document_.Edit(lines.size() == 1 ? tr("Paste a mark") : tr("Paste %1 marks").arg(lines.size()),
                 [&marks](Project& project) { project.marks = marks; });
  return true;
}

int MarksModel::AddMark() {
  int number = 1;
  std::string name;
  do {
    name = "MARK " + std::to_string(number++);
  } while (RowOf(name) >= 0);
  document_.Edit(tr("Add mark"),
                 [&name](Project& project) { project.marks.push_back(NamedMark(name)); });
  return static_cast<int>(document_.project().marks.size()) - 1;
}

void MarksModel::RemoveMarks(std::vector<int> rows) {
  std::set<int> listed;
  for (const int row : rows) {
    if (row >= 0 && row < static_cast<int>(rows_.size()) && IsListed(row)) listed.insert(row);
  }
  if (listed.empty()) return;
  document_.Edit(
      listed.size() == 1 ? tr("Remove a mark") : tr("Remove %1 marks").arg(listed.size()),
      [&listed](Project& project) {
        for (auto row = listed.rbegin(); row != listed.rend(); ++row) {
          project.marks.erase(project.marks.begin() + *row);
        }
      });
}

}  // namespace quarrow
