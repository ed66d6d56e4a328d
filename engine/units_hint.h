#pragma once

// The units a field file names for itself. A field file that quarrow-convert
// wrote says them at the end of its first line, which is no observation and
// which the reader passes over: "Converted by quarrow-convert from JobXML
// file run.jxl; units: metric". Other field files name none.

#include <optional>
#include <string>
#include <string_view>

#include "engine/platform.h"
#include "engine/units.h"

namespace quarrow {

// The units the first line of `text` names: it ends, blanks aside and in any
// letter case, with "units: metric" or "units: feet", and holds no degree
// sign (an observation line names nothing).
std::optional<Units> UnitsNamedBy(std::string_view first_line);

// The units the field file at `path` names in its first line; none when it
// names none or cannot be read.
std::optional<Units> ReadUnitsHint(Platform& platform, const std::string& path);

}  // namespace quarrow
