#pragma once

// The marks table. First the project's marks, in its order, editable in
// place: name, published elevation, standard deviation (none: held fixed),
// easting and northing. Then the marks the runs meet that the project does
// not list (turning points of no run, junctions), which take an elevation
// typed into them as a new mark. Every edit is one step of the document's
// undo stack. Once adjusted, each row shows the adjusted elevation and its
// standard deviation; a listed mark no run touches says so.

#include <QAbstractTableModel>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "office/office_document.h"

namespace quarrow {

class MarksModel : public QAbstractTableModel {
 public:
  enum Column {
    kName,
    kElevation,
    kStdDev,
    kEasting,
    kNorthing,
    kStatus,
    kRuns,
    kAdjusted,
    kAdjustedStdDev,
    kColumnCount
  };

  explicit MarksModel(OfficeDocument& document, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

  // True for a row of the project's marks, false for one the runs meet.
  bool IsListed(int row) const;
  // The row of the mark named `name`, or -1.
  int RowOf(const std::string& name) const;
  const std::string& NameAt(int row) const;

  // Tab-separated text (a spreadsheet's copy) pasted at `row`, `column`:
  // rows past the listed marks add marks, which then need their name in
  // the first column pasted. All or nothing, one undo step; false with
  // the problem told when a cell is not what its column takes.
  bool Paste(int row, int column, const QString& text);
  // A new mark without an elevation at the end of the listed ones; its row.
  int AddMark();
  void RemoveMarks(std::vector<int> rows);

  // Told what is wrong with a typed or pasted value.
  std::function<void(const QString&)> on_problem;

 private:
  struct Row {
    bool listed = true;
    std::string name;
    int runs = 0;  // how many read runs begin or end on it
  };
  void Rebuild();
  void Refresh();
  // The adjustment's marks by name, for the rows.
  void IndexOutcomes();
  const MarkOutcome* Outcome(const std::string& name) const;
  QVariant Text(int row, int column, bool editing) const;
  // `text` read into column `column` of `mark`; false with `problem`.
  bool ReadCell(ProjectMark& mark, int column, const QString& text, QString& problem) const;
  bool NameTaken(const std::string& name, int except_row) const;
  void Problem(const QString& text) const;

  OfficeDocument& document_;
  std::vector<Row> rows_;
  std::unordered_map<std::string, const MarkOutcome*> outcomes_;
};

}  // namespace quarrow
