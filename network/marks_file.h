#pragma once

// The marks file of a level network: one bench mark a line,
// `name,elevation` or `name,elevation,standard_deviation`, then optionally
// `easting,northing` for the network's picture (the standard deviation may
// then be empty: the mark is held fixed). Blank lines and
// lines starting with '#' are skipped; the first other line is a header when
// its second field is not a number. Names are trimmed of blanks and tabs and
// kept as bytes. Numbers are data, not typing: "." is the decimal point in
// every locale.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarrow {

struct MarkPosition {
  double easting = 0;
  double northing = 0;
};

struct ListedMark {
  std::string name;
  double elevation = 0;
  std::optional<double> std_dev;  // none: the mark is held fixed
  std::optional<MarkPosition> position;
  int line = 0;  // line number in the file, from 1
};

struct MarksFile {
  std::vector<ListedMark> marks;  // in file order
  std::string error;              // "" when the file was read; else why not, naming the line
};

// Reads the marks file's bytes. Refuses a line that is not a mark, a
// standard deviation that is not positive, and a name given twice (naming
// it); a file without a single mark.
MarksFile ReadMarksFile(std::string_view bytes);

}  // namespace quarrow
