#pragma once

// Test helpers that play the data collectors of the raw formats: they take
// a level run from a field file and record it again as Carlson RW5, LandXML,
// Sokkia SDR33 or Topcon GTS-7, in a chosen length and angle unit, with the
// habits of real crews switched on one by one: both faces, rod heights
// given only when they change, side shots after the foresight.

#include <string>

#include "convert/survey_units.h"
#include "tests/convert/survey_writers.h"

namespace quarrow::testing_support {

// What every raw writer can vary.
struct RawStyle {
  bool run_in_feet = false;  // the run's lengths are feet (taken as the file's feet)
  LengthUnit length = LengthUnit::kMetre;
  AngleUnit angle = AngleUnit::kPackedDms;
  bool both_faces = false;  // every point read in face I and face II
  long long index_error_tenths = 0;
  bool rod_carried = false;      // the rod height written only when it changes
  bool side_shots_last = false;  // side shots recorded after the foresight
  // Without roles: every sighting a plain side shot or traverse shot, so
  // that the next setup's backsight decides. The last setup's foresight is
  // then its last observation, so side shots come last only before it.
  bool no_roles = false;
};

// The run's length `value` as the file writes it: the same number when the
// run and the file are both in feet or both in metres, else converted.
double FileLength(double value, const RawStyle& style);

// An angle given in tenths of a second, written in `unit` with as many
// decimals as it needs to come back to the same tenth.
std::string AngleText(long long tenths, AngleUnit unit);

struct Rw5Style {
  RawStyle raw;
  bool horizontal_distances = false;  // HD instead of SD
  bool notes = false;                 // comment records and notes on every shot
};
std::string WriteRw5(const FieldRun& run, const Rw5Style& style);

struct LandXmlStyle {
  RawStyle raw;
  bool observation_groups = false;  // observations in ObservationGroups naming their setup
  bool check_shots = false;         // a check shot after every foresight, to be passed over
  bool hexml = false;               // Leica's elements beside the standard ones
};
std::string WriteLandXml(const FieldRun& run, const LandXmlStyle& style);

struct SdrStyle {
  RawStyle raw;        // degrees are decimal degrees; no foresight is marked
  bool means = false;  // the collector's MC mean after the face readings, to be passed over
};
std::string WriteSdr(const FieldRun& run, const SdrStyle& style);

struct Gts7Style {
  RawStyle raw;
  bool th_records = false;  // target heights on TH lines, headers leaving theirs empty
};
std::string WriteGts7(const FieldRun& run, const Gts7Style& style);

}  // namespace quarrow::testing_support
