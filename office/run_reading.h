#pragma once

// One run of a project read as the network reads it: a field file, or a raw
// total-station file converted in memory (never written beside it), checked
// line by line, its closure pass giving its marks, length and difference;
// or a digital level's file, whose levelled lines each join two marks. A
// file that cannot be used is still a run of the project: it keeps the
// message that says why.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/field_file_check.h"
#include "engine/platform.h"
#include "engine/units.h"
#include "network/network_adjustment.h"

namespace quarrow {

// What reading a run depends on besides the file.
struct RunReadSettings {
  Units units = Units::kFeet;
  std::optional<double> refraction_k;
  bool operator==(const RunReadSettings&) const = default;
};

struct ProjectRun {
  QString path;  // as the project lists it
  // The field file the engine reads: the file itself, or for a raw file
  // the name quarrow-convert would give its conversion, held in memory.
  std::string field_path;
  // "field file", "digital level", or the converter's name of a raw file's
  // format ("JobXML", "GSI", "RW5", "LandXML", "SDR33", "GTS-7").
  std::string format = "field file";
  RunReadSettings settings;  // what it was read with
  qint64 size = -1;          // the file as read, to notice a change
  qint64 modified_ms = 0;

  bool read = false;
  std::string problem;  // when not read: why, in UTF-8, lines joined by "\n"
  std::shared_ptr<const std::string> converted;  // the field file made of a raw file
  std::string conversion_summary;                // what quarrow-convert would say of it

  RunRecord record;  // its marks, difference, length, setups, turns and balance
  // A digital level's file: its lines, each one observation of the level
  // group (`record` then names the file only).
  std::vector<RunRecord> levelled_lines;
  double sum_backsight = 0;
  double sum_foresight = 0;
  double max_sight = 0;
  double max_setup_imbalance = 0;
  std::vector<FieldFileWarning> warnings;  // of the field file read
  std::int64_t warning_count = 0;
};

// Reads the run `path` through `disk` (the platform of the files, the
// locale and the date). `cancelled`, when it turns true, ends the reading:
// the run then comes back not read.
ProjectRun ReadProjectRun(Platform& disk, const QString& path, const RunReadSettings& settings,
                          const std::function<bool()>& cancelled = {});

// True when `run` was read with other settings or its file has changed
// since (size or time of change), so it must be read again.
bool NeedsReading(const ProjectRun& run, const RunReadSettings& settings);

// The units the field files among `paths` name in their first lines, when
// those that name any agree; raw files and files that name none say nothing.
// (A digital level's file says its units, but only once it is read.)
std::optional<Units> UnitsNamedByFiles(Platform& disk, const QStringList& paths);

}  // namespace quarrow
