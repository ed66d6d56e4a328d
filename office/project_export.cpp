#include "office/project_export.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <cstdio>
#include <map>

#include "engine/closure_pass.h"
#include "engine/file_paths.h"
#include "engine/report_pass.h"
#include "exports/requested_outputs.h"
#include "network/network_outputs.h"
#include "office/marks_csv.h"
#include "office/office_platform.h"
#include "platform/qt_platform.h"
#include "plot/profile_picture.h"
#include "shell/adjust_level_run.h"
#include "shell/prepare_adjustment.h"

namespace quarrow {

namespace {

using Runs = std::vector<std::shared_ptr<const ProjectRun>>;

// The export's questions were asked before it began: existing files may go
// (the user said so), and a run that fails its tests is written as
// quarrow-adjust writes it without --strict.
class AnsweredQuestions : public AdjustQuestions {
 public:
  bool MayReplace(const std::string&, const std::string&) override { return true; }
  bool WriteDespiteFailures(const std::string&, const std::string&) override { return true; }
  bool OpensReport() override { return false; }
};

// Where a profile waits until the whole export is complete: beside its
// file, hidden, with the same extension (which chooses the picture's format).
std::string StagedPath(const std::string& path) {
  return BuildPath(ParentFolderName(path), ".~" + FileName(path));
}

RunOutput* MakeStagedProfile(const RunState& rs, const std::string& path, CivilDate date) {
  return new ProfilePicture(rs, StagedPath(path), date);
}

// An elevation as a user would type it here, reading back to the same value.
std::string ElevationText(double elevation) {
  return QtPlatform::FromQString(
      QLocale().toString(elevation, 'g', QLocale::FloatingPointShortest));
}

std::string CleanPath(const std::string& path) {
  return QtPlatform::FromQString(
      QDir::cleanPath(QFileInfo(QtPlatform::ToQString(path)).absoluteFilePath()));
}

const char* ProfileExtension(ProfileFormat format) {
  switch (format) {
    case ProfileFormat::kSvg:
      return ".svg";
    case ProfileFormat::kPng:
      return ".png";
    case ProfileFormat::kPdf:
      return ".pdf";
  }
  return ".svg";
}

// A network run's profile between its adjusted marks, by the report pass
// into nothing but the picture.
class DiscardedReport : public ReportSink {
 public:
  bool Write(std::string_view) override { return true; }
  bool Commit() override { return true; }
  std::string ErrorText() const override { return ""; }
};

bool ExportNetworkProfile(OfficePlatform& platform, const Project& project, const ProjectRun& run,
                          const RunOutcome& outcome, const std::string& path) {
  Network in_units;
  in_units.units = project.options.units;
  NetworkRequest request;
  request.refraction = project.options.refraction_k;
  RunState rs;
  PrepareRunState(rs, run.record, in_units, request, outcome.begin_elevation,
                  outcome.end_elevation);
  const ClosureResult closure = RunClosurePass(rs, platform);
  if (closure.status != ClosureStatus::kComputed) return false;
  ProfilePicture picture(rs, StagedPath(path), platform.Today());
  DiscardedReport report;
  if (RunReportPass(rs, platform, closure, report, &picture) != ReportStatus::kWritten)
    return false;
  if (!picture.Finish() || !picture.Commit()) {
    platform.ShowMessage(
        {"", "Unable To Write Output File:\r\n" + path + "\r\n" + picture.ErrorText()});
    return false;
  }
  return true;
}

bool ExportRunByRun(OfficePlatform& platform, const Project& project, const Runs& runs,
                    const ProjectResult& result, const ExportPlan& plan,
                    const std::function<void(int, int)>& progress) {
  AnsweredQuestions answers;
  for (std::size_t i = 0; i < plan.runs.size(); ++i) {
    if (progress) progress(static_cast<int>(i), static_cast<int>(plan.runs.size()));
    if (platform.IsCancelled()) return false;
    const RunExportFiles& files = plan.runs[i];
    const ProjectRun& run = *runs[static_cast<std::size_t>(files.run)];
    const RunOutcome& outcome = result.runs[static_cast<std::size_t>(files.run)];
    RunState rs;
    InitialiseFrames(rs);
    AdjustRequest request;
    request.field_file = run.field_path;
    request.report_file = files.report;
    request.begin_elevation = ElevationText(outcome.begin_elevation);
    request.end_elevation = ElevationText(outcome.end_elevation);
    request.units = project.options.units;
    if (PrepareAdjustment(rs, platform, answers, request) != Preparation::kReady) return false;
    StoreRunChoices(rs, {.refraction_k = project.options.refraction_k,
                         .distribute_by_setups = project.options.distribute_by_setups});
    RequestedOutputs requested;
    if (!files.csv.empty()) requested.csv.push_back(files.csv);
    if (!files.json.empty()) requested.json.push_back(files.json);
    requested.profile = files.profile;
    RunOutputs outputs(platform);
    if (!AddRequestedOutputs(platform, rs, requested, &MakeStagedProfile, outputs)) return false;
    FieldFileChecker checker;
    const AdjustOutcome adjusted =
        AdjustLevelRun(rs, platform, answers, outputs.empty() ? nullptr : &outputs, &checker);
    if (adjusted == AdjustOutcome::kFailed || adjusted == AdjustOutcome::kCancelled) return false;
    if (!outputs.Commit()) return false;
  }
  return true;
}

bool ExportNetwork(OfficePlatform& platform, const Project& project, const Runs& runs,
                   const ProjectResult& result, const ExportPlan& plan) {
  NetworkRequest request = NetworkRequestOf(project, runs);
  request.marks_file = plan.marks_file;
  std::string error;
  std::unique_ptr<ReportSink> marks = platform.CreateReport(plan.marks_file, error);
  if (!marks || !marks->Write(NetworkMarksFile(project)) || !marks->Commit()) {
    platform.ShowMessage({"", "Unable To Write Output File:\r\n" + plan.marks_file + "\r\n" +
                                  (marks ? marks->ErrorText() : error)});
    return false;
  }
  NetworkOutputFiles files;
  files.report = plan.network_report;
  if (!plan.network_csv.empty()) files.csv_exports.push_back(plan.network_csv);
  if (!plan.network_json.empty()) files.json_exports.push_back(plan.network_json);
  files.run_reports = plan.run_reports;
  if (!WriteNetworkOutputs(platform, request, *result.network, *result.network_result, files)) {
    return false;
  }
  for (const RunExportFiles& entry : plan.runs) {
    if (entry.profile.empty()) continue;
    if (platform.IsCancelled()) return false;
    if (!ExportNetworkProfile(platform, project, *runs[static_cast<std::size_t>(entry.run)],
                              result.runs[static_cast<std::size_t>(entry.run)], entry.profile)) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string NetworkMarksFile(const Project& project) {
  // Positions are for the picture; today's marks file holds none.
  std::vector<ProjectMark> marks = project.marks;
  for (ProjectMark& mark : marks) mark.easting = mark.northing = std::nullopt;
  return MarksCsv(marks);
}

ExportPlan PlanExport(const QString& project_path, const Runs& runs, const ProjectResult& result,
                      const ExportChoice& choice) {
  ExportPlan plan;
  plan.mode = result.mode;
  if (!result.adjusted) {
    plan.problem = "Adjust the project first (F5): there is nothing to export yet.";
    return plan;
  }
  if (!QFileInfo(choice.folder).isDir()) {
    plan.problem = QtPlatform::FromQString(choice.folder) + ": there is no such folder.";
    return plan;
  }
  const std::string folder = QtPlatform::FromQString(QDir::cleanPath(choice.folder));
  const auto in_folder = [&folder](const std::string& name) { return BuildPath(folder, name); };
  std::vector<std::pair<std::string, std::string>> named;  // path, what it is
  for (std::size_t r = 0; r < runs.size(); ++r) {
    const RunOutcome& outcome = result.runs[r];
    if (!outcome.adjusted) continue;
    const ProjectRun& run = *runs[r];
    RunExportFiles files;
    files.run = static_cast<int>(r);
    const std::string base = BaseName(run.field_path);
    if (result.mode == AdjustMode::kRuns) files.report = in_folder(base + ".adj");
    if (result.mode == AdjustMode::kNetwork && choice.run_reports) {
      files.report = run.record.report_path;
    }
    if (result.mode == AdjustMode::kRuns && choice.csv) files.csv = in_folder(base + ".csv");
    if (result.mode == AdjustMode::kRuns && choice.json) files.json = in_folder(base + ".json");
    if (choice.profile) files.profile = in_folder(base + ProfileExtension(*choice.profile));
    for (const std::string* path : {&files.report, &files.csv, &files.json, &files.profile}) {
      if (!path->empty()) named.emplace_back(*path, "an output of " + FileName(run.field_path));
    }
    plan.runs.push_back(std::move(files));
  }
  if (result.mode == AdjustMode::kNetwork) {
    const std::string name = QtPlatform::FromQString(choice.name);
    plan.network_report = in_folder(name + ".adj");
    plan.marks_file = in_folder(name + "-marks.csv");
    if (choice.csv) plan.network_csv = in_folder(name + ".csv");
    if (choice.json) plan.network_json = in_folder(name + ".json");
    plan.run_reports = choice.run_reports;
    named.insert(named.begin(), {{plan.marks_file, "the network's marks file"},
                                 {plan.network_report, "the network report"}});
    if (choice.csv) named.emplace_back(plan.network_csv, "the network's CSV");
    if (choice.json) named.emplace_back(plan.network_json, "the network's JSON");
  }
  // Every file apart, and none of them a file the project reads.
  std::map<std::string, std::string> taken;
  if (!project_path.isEmpty()) {
    taken[CleanPath(QtPlatform::FromQString(project_path))] = "the project file";
  }
  for (const auto& run : runs) {
    taken[CleanPath(QtPlatform::FromQString(run->path))] = "the run " + FileName(run->field_path);
    taken[CleanPath(run->field_path)] = "the run " + FileName(run->field_path);
  }
  for (const auto& [path, what] : named) {
    const auto [existing, added] = taken.emplace(CleanPath(path), what);
    if (added) {
      plan.files.push_back(path);
      continue;
    }
    plan.problem = path + " would be both " + existing->second + " and " + what +
                   ". Choose another folder or name; nothing was written.";
    return plan;
  }
  return plan;
}

std::vector<std::string> ExistingFiles(Platform& disk, const ExportPlan& plan) {
  std::vector<std::string> existing;
  for (const std::string& path : plan.files) {
    if (disk.FileExists(path)) existing.push_back(path);
  }
  return existing;
}

bool ExportProject(Platform& disk, const Project& project, const Runs& runs,
                   const ProjectResult& result, const ExportPlan& plan,
                   const std::function<bool()>& cancelled,
                   const std::function<void(int, int)>& progress, std::string& problem) {
  const MemoryFiles memory = ConvertedFiles(runs);
  OfficePlatform platform(disk, &memory, cancelled);
  platform.HoldCommits();
  bool written = result.mode == AdjustMode::kRuns
                     ? ExportRunByRun(platform, project, runs, result, plan, progress)
                     : ExportNetwork(platform, project, runs, result, plan);
  written = written && !platform.IsCancelled() && platform.CommitHeld();
  for (const RunExportFiles& files : plan.runs) {
    if (files.profile.empty()) continue;
    const std::string staged = StagedPath(files.profile);
    if (written && std::rename(staged.c_str(), files.profile.c_str()) != 0) {
      platform.ShowMessage({"", "Unable To Write Output File:\r\n" + files.profile +
                                    "\r\nThe finished picture could not be moved into place."});
      written = false;
    }
    std::remove(staged.c_str());
  }
  if (!written) {
    platform.DropHeld();
    problem = platform.IsCancelled() ? "The export was cancelled: nothing was written."
                                     : platform.MessageText();
  }
  return written;
}

}  // namespace quarrow
