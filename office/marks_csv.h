#pragma once

// The marks table as a CSV file: the network's marks file
// (`name,elevation[,standard_deviation]`) with two optional columns more,
// `easting,northing`, for the network's picture. A mark with a position
// and no standard deviation leaves that field empty. Blank lines and lines
// starting with '#' are skipped; the first other line is a header when its
// second field is not a number. "." is the decimal point in every locale.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "office/project_file.h"

namespace quarrow {

// The marks in `bytes`; none, with `error` naming the line, for a line that
// is not a mark, a standard deviation that is not positive, half a
// position, a name given twice or a file without a mark.
std::optional<std::vector<ProjectMark>> ReadMarksCsv(std::string_view bytes, std::string& error);

// The marks with an elevation, CR LF, numbers in their shortest exact form;
// the position columns only when some mark has a position.
std::string MarksCsv(const std::vector<ProjectMark>& marks);

// Why `name` cannot name a mark ("" when it can): empty, or holding a comma
// (the marks file's separator) or a line break.
std::string MarkNameProblem(const std::string& name);

}  // namespace quarrow
