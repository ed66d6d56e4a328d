#pragma once

// What a total-station file says about a level run, before it becomes a
// field file: the setups in the order observed, and in each the readings as
// the instrument recorded them. Both readers fill this; grouping the readings
// into observations and choosing backsight and foresight is common work.

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/units.h"

namespace quarrow {

// Angles are held in seconds of arc, lengths in metres.
inline constexpr double kFullCircleSeconds = 1296000.0;  // 360 degrees
inline constexpr double kHalfCircleSeconds = 648000.0;   // 180 degrees

// Input that cannot be converted: the message names the line or record and
// says what is wrong; the tool shows it and writes nothing.
class ConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One sighting of the prism as recorded.
struct Reading {
  std::u32string name;  // point name, as Unicode code points
  double zenith = 0;    // zenith angle as read, seconds; over 180 degrees is face II
  double slope = 0;     // slope distance, metres, corrections applied
  double rod = 0;       // height of the prism above the point, metres
  std::string place;    // "line 12", "record 0000001f": where to look in the file
};

// The readings taken from one instrument setup, in the order observed.
struct SetupReadings {
  std::string place;  // where the setup starts in the file
  std::vector<Reading> readings;
  // Which reading the file itself marks as the backsight, or the point it
  // names as the backsight; without either the first observation is taken.
  std::optional<std::size_t> backsight_reading;
  std::optional<std::u32string> backsight_name;
};

struct FieldBook {
  std::string kind;  // "JobXML" or "GSI", for the first line and the summary
  std::vector<SetupReadings> setups;
  bool feet = false;  // the unit the file itself suggests for the field file
  // GSI only: setups were split where the turning point was read again.
  bool setups_from_turning_points = false;
};

// Text for messages: the name in UTF-8, quoted.
std::string QuotedName(const std::u32string& name);

}  // namespace quarrow
