#pragma once

// Two smaller tables: the network's loops, and the checks of the selected
// run (its warnings with their line numbers, or why it could not be read,
// and what the converter said of a raw file).

#include <QAbstractTableModel>
#include <QIcon>
#include <array>
#include <memory>

#include "office/office_document.h"

namespace quarrow {

class LoopsModel : public QAbstractTableModel {
 public:
  enum Column { kLoop, kRuns, kLength, kMisclosure, kAllowed, kVerdict, kColumnCount };

  explicit LoopsModel(OfficeDocument& document, QObject* parent = nullptr);
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  QString RunsText(const LoopOutcome& loop) const;

  OfficeDocument& document_;
  std::array<QIcon, 2> icons_;
};

class ChecksModel : public QAbstractTableModel {
 public:
  enum Column { kLine, kCheck, kColumnCount };
  // The line of the field file a row is about (0: none), for showing it.
  static constexpr int kLineRole = Qt::UserRole;

  explicit ChecksModel(QObject* parent = nullptr);
  void SetRun(std::shared_ptr<const ProjectRun> run);
  const ProjectRun* run() const { return run_.get(); }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  enum class Kind { kProblem, kWarning, kClean, kNote };
  struct Entry {
    Kind kind = Kind::kNote;
    std::int64_t line = 0;
    QString text;
  };

  std::shared_ptr<const ProjectRun> run_;
  std::vector<Entry> entries_;
  std::array<QIcon, 4> icons_;  // problem, warning, clean, note
};

}  // namespace quarrow
