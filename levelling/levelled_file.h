#pragma once

// Digital-level raw files read as levelled lines: what a level network
// needs of them, each line's height difference and length between the two
// bench marks it joins.
//
// Two layouts are read (levelling/gsi_level_reader.h, levelling/dini_reader.h):
// the GSI of Leica's digital levels (staff readings in words 330 to 336) and
// the M5 records of Trimble's DiNi ("For M5|Adr ..."). A levelled line runs
// from its first bench mark to its last; the change points between them stay
// inside it, as turning points stay inside a trig run. Readings other than
// backsights and foresights (intermediate sights, measure-only and set-out
// readings), heights the instrument computed and its running sums are passed
// over; the summary counts what was passed over.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/units.h"

namespace quarrow {

struct LevelledLine {
  std::string from, to;   // the bench marks, UTF-8, trimmed of blanks
  double difference = 0;  // height of `to` above `from`, in the file's units
  double length = 0;      // sum of the setups' backsight and foresight distances
  std::int64_t setups = 0;
  std::string place;  // "line 12": where the line starts in the file
};

struct LevelledFile {
  std::string kind;  // "GSI" or "DiNi", for the lines file's first line and the summary
  Units units = Units::kMetric;
  std::string unit_name;  // "metres", "feet" or "US survey feet", for the summary
  // Decimals that keep the file's precision: its finest reading's, and one
  // more for the mean of two readings.
  int decimals = 4;
  std::vector<LevelledLine> lines;
  // For the summary.
  std::int64_t setups = 0;
  std::int64_t readings = 0;             // backsight and foresight readings used
  std::int64_t intermediate_sights = 0;  // passed over
  std::int64_t other_readings = 0;       // measure-only, set-out and check readings passed over
  std::int64_t repeated = 0;             // readings dropped because the crew repeated them
  std::int64_t flagged = 0;              // records the instrument marked in error, passed over
};

enum class LevelFormat { kRecognise, kGsi, kDini };

// True for a DiNi file (its first record starts "For M5|") and for a GSI
// file that holds staff readings (words 330 to 336) and no total-station
// measurement (words 21, 22 and 31).
bool IsDigitalLevelFile(std::string_view bytes);

// Reads the lines of a digital-level file, recognised by its content unless
// told. Throws ConvertError, naming the line and saying what was expected,
// for anything that is not a levelled line: a reading without its partner,
// a line without a closing bench mark or whose first point is not one, a
// setup that does not start on the previous change point, a point without a
// name, a reading without its distance, mixed units, a file with no line.
// Nothing partial comes back.
LevelledFile ReadLevelledFile(std::string_view bytes, LevelFormat format = LevelFormat::kRecognise);

}  // namespace quarrow
