#pragma once

// A file of levelled height differences, for observations that are no trig
// run of a field file: a digital level's lines, a published GNSS-derived
// difference, a textbook network. One line a line:
//   from,to,difference,length[,standard_deviation][,group]
// the difference carried from `from` to `to`, the length and the standard
// deviation in the file's units (metres or feet: --units, or the units its
// first line names as a field file's does). Blank lines and lines starting
// with '#' are skipped; the first other line is a header when its third
// field is not a number. Numbers are data: "." whatever the locale.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarrow {

// The group of a line that names none.
inline constexpr std::string_view kLevelGroup = "level";

struct ListedLine {
  std::string from;  // trimmed of blanks and tabs
  std::string to;
  double difference = 0;
  double length = 0;
  std::optional<double> std_dev;  // none: it weighs by its length with its group's sigma
  std::string group;              // "level" when none is given
  int line = 0;                   // in the file, from 1
};

struct LinesFile {
  std::vector<ListedLine> lines;  // in file order
  std::string error;              // "" when the file was read; else why not, naming the line
};

// Reads the lines file's bytes. Refuses a line that is not one of the
// layouts above, a mark without a name, one line from a mark to itself, a
// length that is not positive, a standard deviation that is not positive, a
// group name with blanks, and a file without a single line.
LinesFile ReadLinesFile(std::string_view bytes);

}  // namespace quarrow
