#pragma once

// The runs table: one row per run of the project, in the project's order:
// the file, its format, setups, length and marks as read, its verdict as an
// icon and a word, and once adjusted its misclosure, the allowed one, its
// balance, the orders it meets and the network's standardized residual.
// A run that cannot be read keeps its row, and its message as the tip.

#include <QAbstractTableModel>
#include <QIcon>
#include <array>

#include "office/office_document.h"

namespace quarrow {

class RunsModel : public QAbstractTableModel {
 public:
  enum Column {
    kFile,
    kFormat,
    kSetups,
    kLength,
    kFrom,
    kTo,
    kVerdict,
    kMisclosure,
    kAllowed,
    kBalance,
    kOrders,
    kStandardized,
    kFlag,
    kColumnCount
  };
  // What the table sorts by: numbers as numbers, texts as shown.
  static constexpr int kSortRole = Qt::UserRole;

  explicit RunsModel(OfficeDocument& document, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

  // The run's verdict as the table shows it, before and after adjusting.
  RunVerdict VerdictOf(int row) const;

 private:
  QVariant Text(int row, int column) const;
  QVariant SortValue(int row, int column) const;
  QString ToolTip(int row, int column) const;
  const RunOutcome* Outcome(int row) const;
  void Refresh();

  OfficeDocument& document_;
  std::array<QIcon, 4> icons_;
};

}  // namespace quarrow
