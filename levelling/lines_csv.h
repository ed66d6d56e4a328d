#pragma once

// The lines file quarrow-network reads: one levelled line a row,
//
//   # Converted by quarrow-convert from GSI file level.gsi; units: metric
//   from,to,difference,length,standard_deviation,group
//   BM 7,BM 8,-0.29685,80.25725,,level
//
// with CR LF line ends. The first line is a comment that names the units as
// a converted field file does (engine/units_hint.h). Differences and
// lengths are in the file's units, "." decimals, as many decimals as the
// file's precision needs; the standard deviation is left empty, so that
// each line weighs by its length, and the group is "level".

#include <string>
#include <string_view>

#include "levelling/levelled_file.h"

namespace quarrow {

// `value` with exactly `decimals` decimals and "." whatever the locale; never
// "-0.000".
std::string FixedDecimals(double value, int decimals);

// The lines file of `file`, read from the file named `source_name`. Throws
// ConvertError, naming the line, for a point name the file cannot hold: one
// with a comma (it would split the row) or, first in a row, starting "#"
// (the row would be a comment).
std::string WriteLinesCsv(const LevelledFile& file, std::string_view source_name);

// The summary for standard output, lines ended by "\n": each line (from,
// to, difference, length, setups and where it starts), the setups and
// readings used, what was passed over (when anything was), and the units.
std::string LevelledSummaryText(const LevelledFile& file);

}  // namespace quarrow
