#pragma once

// Exporting an adjusted project through the tools' own code: run by run as
// quarrow-adjust writes each run (PrepareAdjustment, AdjustLevelRun and the
// requested outputs), or as quarrow-network writes a network
// (WriteNetworkOutputs), so that every file is byte for byte the tool's.
// Everything is written or nothing: each output waits, complete and closed,
// until all are, and only then are they moved into place.

#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/platform.h"
#include "office/project_adjustment.h"
#include "plot/profile_format.h"

namespace quarrow {

struct ExportChoice {
  QString folder;  // where the files go (a network's run reports go beside their field files)
  QString name;    // a network's files: NAME.adj, NAME-marks.csv, NAME.csv, NAME.json
  bool csv = false;
  bool json = false;
  std::optional<ProfileFormat> profile;  // each run's profile picture
  bool run_reports = false;              // a network's: each run's report, as --reports
};

struct RunExportFiles {
  int run = 0;  // index into the project's runs
  std::string report;
  std::string csv;
  std::string json;
  std::string profile;
};

struct ExportPlan {
  AdjustMode mode = AdjustMode::kRuns;
  std::vector<std::string> files;  // every file the export writes
  std::string problem;             // "" when the export may go ahead
  std::vector<RunExportFiles> runs;
  // A network's own files; the marks file is the one its report names, so
  // that quarrow-network --marks on it gives the same report.
  std::string network_report;
  std::string marks_file;
  std::string network_csv;
  std::string network_json;
  bool run_reports = false;
};

// The files `choice` asks for. Refuses (in `problem`) two outputs of one
// name, an output that would replace a run's file or the project's, and an
// export of a project not adjusted.
ExportPlan PlanExport(const QString& project_path,
                      const std::vector<std::shared_ptr<const ProjectRun>>& runs,
                      const ProjectResult& result, const ExportChoice& choice);

// The files of `plan` that exist already: they are replaced only when the
// user says so.
std::vector<std::string> ExistingFiles(Platform& disk, const ExportPlan& plan);

// Writes `plan`. False, with `problem` saying why, when anything could not
// be written or `cancelled` turned true: then no file was replaced and no
// temporary file is left (unless a move into place itself fails part way).
bool ExportProject(Platform& disk, const Project& project,
                   const std::vector<std::shared_ptr<const ProjectRun>>& runs,
                   const ProjectResult& result, const ExportPlan& plan,
                   const std::function<bool()>& cancelled,
                   const std::function<void(int done, int total)>& progress, std::string& problem);

// The marks file of a project's marks with elevations, as quarrow-network
// reads it: "name,elevation[,standard_deviation]", CR LF, numbers in their
// shortest form that reads back to the same value.
std::string NetworkMarksFile(const Project& project);

}  // namespace quarrow
