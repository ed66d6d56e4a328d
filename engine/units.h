#pragma once

// The two units a level run is observed in. Lengths and elevations are plain
// numbers in the run's own unit; nothing is converted between the two except
// where a rule is stated in metres (the FGCS orders, a network's precision).

#include <string_view>

namespace quarrow {

enum class Units { kFeet, kMetric };

// The international foot. Every conversion between feet and metres uses it.
inline constexpr double kMetresPerFoot = 0.3048;

// The report title's words: "English Units" or "Metric Units".
std::string_view UnitsLabel(Units units);
// The mark written after every summary number: "'" for feet, "m" for metres.
char UnitMark(Units units);
// The units a unit mark stands for; anything but "'" is metres.
Units UnitsOfMark(char unit_mark);
// How the command line names them: "feet" or "metric".
std::string_view UnitsName(Units units);

// Metres in one unit of `units`: 0.3048 or 1.
inline double MetresPerUnit(Units units) { return units == Units::kFeet ? kMetresPerFoot : 1.0; }

}  // namespace quarrow
