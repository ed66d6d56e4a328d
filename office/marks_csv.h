#pragma once

// The marks table as the network's marks file: `name,elevation`, with a
// standard deviation for a weighted mark, then `easting,northing` for the
// network's picture (the standard deviation then empty for a fixed mark).
// Read by the network's own reader, so the office takes exactly what
// quarrow-network takes.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "office/project_file.h"

namespace quarrow {

// The marks in `bytes`; none, with `error` naming the line, for what the
// network's marks file refuses.
std::optional<std::vector<ProjectMark>> ReadMarksCsv(std::string_view bytes, std::string& error);

// The marks with an elevation, CR LF, numbers in their shortest exact form;
// a mark's position only when it has both coordinates.
std::string MarksCsv(const std::vector<ProjectMark>& marks);

// Why `name` cannot name a mark ("" when it can): empty, or holding a comma
// (the marks file's separator) or a line break.
std::string MarkNameProblem(const std::string& name);

}  // namespace quarrow
