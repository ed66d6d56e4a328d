#pragma once

// What a total-station file says about a level run, before it becomes a
// field file: the setups in the order observed, and in each the readings as
// the instrument recorded them. Every reader fills this; grouping the
// readings into observations and choosing backsight and foresight is common
// work.

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

// A level-run setup holds its backsight, its foresight and some side shots;
// a setup with more observations than this is no level run's.
inline constexpr std::size_t kMostObservationsInASetup = 200;

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
  // A reading the file marks as the foresight (the last such reading). The
  // next setup's backsight still decides; the mark decides for the last
  // setup, and among several observations of the next backsight.
  std::optional<std::size_t> foresight_reading;
  // The point the instrument stood on, when the file names one, and whether
  // the file holds that point otherwise (coordinates or observations of it):
  // an instrument set up on a mark is a traverse or a topographic survey.
  std::u32string station;
  bool station_is_job_point = false;
};

struct FieldBook {
  std::string kind;  // "JobXML", "GSI", "RW5"..., for the first line and the summary
  std::vector<SetupReadings> setups;
  Units units = Units::kMetric;  // the unit the file itself suggests for the field file
  // Its feet are US survey feet (1200/3937 m): a field file in feet keeps
  // them, so that its lengths are the file's own numbers.
  bool us_survey_feet = false;
  std::string units_read;  // "metres, zenith angles in gon": the file's units, for the summary
  // GSI only: no station or code block marked the setups; they were split
  // where the turning point was read again.
  bool setups_from_turning_points = false;
  int angle_only = 0;  // measurements without a distance, passed over
  int means = 0;       // readings that are means of rounds, used for want of direct ones
};

// A setup without readings yet that starts at `place`.
SetupReadings SetupStartingAt(std::string place);

// The name in UTF-8.
std::string NameUtf8(const std::u32string& name);

// Text for messages: the name in UTF-8, quoted.
std::string QuotedName(const std::u32string& name);

// Text for messages: `point "TP1"`, or `a point without a name`, so that an
// empty name is never shown as "".
std::string PointText(const std::u32string& name);

// Readings of one point one after another are one observation.
std::size_t CountObservations(const SetupReadings& setup);

// The name the setup backsights: the reading the file marks, else the name
// it gives, else the first reading's. Empty for a setup without readings.
std::u32string BacksightName(const SetupReadings& setup);

}  // namespace quarrow
