#pragma once

// A Quarrow Office project: the runs (field files and raw total-station
// files), the marks with their published elevations, and the options the
// adjustment takes. Saved as a `.qproject` file: JSON, versioned, with every
// path relative to the project file's folder, written whole or not at all.

#include <QString>
#include <QStringList>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "engine/units.h"

namespace quarrow {

// The version this program writes. A file of a later version is refused:
// it may hold what this program would drop when saving it again.
inline constexpr int kProjectVersion = 1;
// The "format" every project file names, so that any other JSON is refused.
inline constexpr const char* kProjectFormat = "quarrow-project";

struct ProjectMark {
  std::string name;  // bytes, compared with the runs' mark names as the network compares them
  std::optional<double> elevation;  // none while a new row is being filled in
  std::optional<double> std_dev;    // none: held fixed
  std::optional<double> easting;    // a position for the network's picture, drawn
  std::optional<double> northing;   // when both are given

  bool operator==(const ProjectMark&) const = default;
};

struct ProjectOptions {
  Units units = Units::kFeet;
  std::optional<double> refraction_k;  // curvature and refraction with this k
  bool distribute_by_setups = false;
  // The a-priori standard error per root kilometre, in millimetres, per
  // group of observations (network/network_adjustment.h): field files are
  // the group "trig". A group not named here takes the network's default.
  std::map<std::string, double> sigma_millimetres = {{"trig", 2.0}};
  // The FGCS orders and classes the runs table reports, from first-i to third.
  std::vector<std::string> orders = {"first-i", "first-ii", "second-i", "second-ii", "third"};

  bool operator==(const ProjectOptions&) const = default;
  // The trig group's sigma, or the network's default.
  double TrigSigma() const;
};

struct Project {
  QStringList runs;  // absolute, clean paths, in the order added
  std::vector<ProjectMark> marks;
  ProjectOptions options;

  bool operator==(const Project&) const = default;
};

// A mark name as shown: UTF-8 as it is, other bytes as the Windows-1252
// characters field files write them in.
QString MarkNameText(const std::string& name);

// Every order name the options may list, in their order.
const std::vector<std::string>& KnownOrders();

// The project as the file's bytes: indented JSON, paths relative to
// `folder` with "/" between folders.
QByteArray ProjectJson(const Project& project, const QString& folder);

// The project in `bytes`, its paths made absolute from `folder`. None, with
// `error` saying what is wrong and where, for anything that is not a
// project file of this version or an earlier one.
std::optional<Project> ReadProjectJson(const QByteArray& bytes, const QString& folder,
                                       QString& error);

// Reads the file `path`; the error names it.
std::optional<Project> LoadProjectFile(const QString& path, QString& error);
// Writes the file `path` through a temporary file beside it, renamed over it
// only when complete. False, with `error` saying why, leaving any file there
// as it was.
bool SaveProjectFile(const Project& project, const QString& path, QString& error);

}  // namespace quarrow
