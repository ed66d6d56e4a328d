#include "office/office_document.h"

#include <QUndoCommand>
#include <set>

namespace quarrow {

namespace {

// One edit: the project before and after it.
class ProjectEdit : public QUndoCommand {
 public:
  ProjectEdit(OfficeDocument& document, const QString& text, Project before, Project after)
      : QUndoCommand(text),
        document_(document),
        before_(std::move(before)),
        after_(std::move(after)) {}
  void redo() override { document_.Apply(after_); }
  void undo() override { document_.Apply(before_); }

 private:
  OfficeDocument& document_;
  Project before_;
  Project after_;
};

}  // namespace

OfficeDocument::OfficeDocument(QObject* parent) : QObject(parent) {
  connect(&undo_, &QUndoStack::cleanChanged, this, &OfficeDocument::stateChanged);
}

bool OfficeDocument::modified() const { return !undo_.isClean(); }

void OfficeDocument::Reset(Project project, const QString& path) {
  undo_.clear();
  project_ = std::move(project);
  path_ = path;
  result_.reset();
  emit runsChanged();
  emit marksChanged();
  emit optionsChanged();
  emit resultChanged();
  emit stateChanged();
}

void OfficeDocument::MarkSaved(const QString& path) {
  path_ = path;
  undo_.setClean();
  emit stateChanged();
}

void OfficeDocument::Edit(const QString& text, const std::function<void(Project&)>& change) {
  Project after = project_;
  change(after);
  if (after == project_) return;
  undo_.push(new ProjectEdit(*this, text, project_, std::move(after)));
}

void OfficeDocument::Apply(const Project& project) {
  const bool runs = project.runs != project_.runs;
  const bool marks = project.marks != project_.marks;
  const bool options = !(project.options == project_.options);
  project_ = project;
  DropResult();
  if (runs) emit runsChanged();
  if (marks) emit marksChanged();
  if (options) emit optionsChanged();
}

std::shared_ptr<const ProjectRun> OfficeDocument::Run(const QString& path) const {
  const auto found = runs_.find(path);
  return found == runs_.end() ? nullptr : found->second;
}

void OfficeDocument::StoreRuns(const std::vector<std::shared_ptr<const ProjectRun>>& runs) {
  bool any = false;
  for (const auto& run : runs) {
    if (!run) continue;
    runs_[run->path] = run;
    any = true;
  }
  if (!any) return;
  DropResult();
  emit runsRead();
}

QStringList OfficeDocument::RunsToRead() const {
  const RunReadSettings settings = ReadSettingsOf(project_.options);
  QStringList paths;
  for (const QString& path : project_.runs) {
    const auto run = Run(path);
    if (!run || !(run->settings == settings)) paths.append(path);
  }
  return paths;
}

std::vector<std::shared_ptr<const ProjectRun>> OfficeDocument::ReadRuns() const {
  std::vector<std::shared_ptr<const ProjectRun>> runs;
  runs.reserve(static_cast<std::size_t>(project_.runs.size()));
  const RunReadSettings settings = ReadSettingsOf(project_.options);
  for (const QString& path : project_.runs) {
    auto run = Run(path);
    if (!run || !(run->settings == settings)) return {};
    runs.push_back(std::move(run));
  }
  return runs;
}

std::vector<std::string> OfficeDocument::RunMarkNames() const {
  std::vector<std::string> names;
  std::set<std::string> seen;
  for (const QString& path : project_.runs) {
    const auto run = Run(path);
    if (!run || !run->read) continue;
    const auto add = [&](const RunRecord& record) {
      for (const std::string* name : {&record.from_name, &record.to_name}) {
        if (seen.insert(*name).second) names.push_back(*name);
      }
    };
    if (run->levelled_lines.empty()) add(run->record);
    for (const RunRecord& line : run->levelled_lines) add(line);
  }
  return names;
}

void OfficeDocument::SetResult(ProjectResult result) {
  result_ = std::make_unique<ProjectResult>(std::move(result));
  emit resultChanged();
}

void OfficeDocument::DropResult() {
  if (!result_) return;
  result_.reset();
  emit resultChanged();
}

}  // namespace quarrow
