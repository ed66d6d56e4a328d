#pragma once

// The open project as the window edits it: the project itself, the file it
// was opened from, every edit on one undo stack, the runs as read, and the
// adjustment's results. Any edit makes the results stale, so they go: the
// tables never show numbers of a project that is no longer the one shown.

#include <QObject>
#include <QString>
#include <QUndoStack>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "office/project_adjustment.h"
#include "office/project_file.h"
#include "office/run_reading.h"

namespace quarrow {

class OfficeDocument : public QObject {
  Q_OBJECT

 public:
  explicit OfficeDocument(QObject* parent = nullptr);

  const Project& project() const { return project_; }
  // The project file; "" for a project never saved.
  const QString& path() const { return path_; }
  QUndoStack& undo() { return undo_; }
  // Edits since the project was opened, made or saved (undone ones aside).
  bool modified() const;

  // A project opened or made anew: no undo history, no results. Runs read
  // before are kept, so opening a project again reads only what changed.
  void Reset(Project project, const QString& path);
  // The project is saved as `path`.
  void MarkSaved(const QString& path);

  // Changes the project by `change` as one step of the undo stack named
  // `text`; nothing is pushed when nothing changed.
  void Edit(const QString& text, const std::function<void(Project&)>& change);
  // What undo and redo apply. Emits the signals of what differs.
  void Apply(const Project& project);

  // The run `path` as read, or null when it is not read yet.
  std::shared_ptr<const ProjectRun> Run(const QString& path) const;
  void StoreRuns(const std::vector<std::shared_ptr<const ProjectRun>>& runs);
  // The project's runs that must be read: never read, or read with other
  // settings. (Whether a file changed since is for the adjustment to ask,
  // off the window's thread: that is a look at every file.)
  QStringList RunsToRead() const;
  // One read run per project run, or none while any is not read.
  std::vector<std::shared_ptr<const ProjectRun>> ReadRuns() const;
  // The names of the marks the read runs begin or end on, in run order,
  // each once.
  std::vector<std::string> RunMarkNames() const;

  const ProjectResult* result() const { return result_.get(); }
  void SetResult(ProjectResult result);

 signals:
  void runsChanged();
  void marksChanged();
  void optionsChanged();
  void runsRead();
  void resultChanged();
  void stateChanged();  // the path or the saved state

 private:
  void DropResult();

  Project project_;
  QString path_;
  QUndoStack undo_;
  std::map<QString, std::shared_ptr<const ProjectRun>> runs_;
  std::unique_ptr<ProjectResult> result_;
};

}  // namespace quarrow
