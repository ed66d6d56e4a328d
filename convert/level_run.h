#pragma once

// From readings to the observations of the field file. Each setup's
// readings of one point, taken one after another, are one observation: the
// face-I readings averaged, the face-II readings reduced (360 degrees less
// the reading) and averaged, then the two faces averaged. The backsight
// comes first, the side shots next in the order observed, the foresight (the
// point the next setup backsights; for the last setup the observation the
// file marks as its foresight, else its last observation) last.

#include <optional>
#include <string>
#include <vector>

#include "convert/field_book.h"

namespace quarrow {

enum class Role { kBacksight, kSideShot, kForesight };

struct Observation {
  std::u32string name;
  double zenith = 0;  // reduced to face I, seconds
  double slope = 0;   // metres
  double rod = 0;     // metres
  int face_one_readings = 0;
  int face_two_readings = 0;
  std::optional<double> index_error;  // seconds, when both faces were read
  std::string place;                  // of its first reading
  Role role = Role::kSideShot;
};

struct ReducedSetup {
  std::string place;
  std::vector<Observation> observations;  // backsight, side shots, foresight
};

struct ReducedRun {
  std::vector<ReducedSetup> setups;
  int observations = 0;
  int side_shots = 0;
  int face_pairs = 0;                         // observations read in both faces
  std::optional<double> largest_index_error;  // seconds, largest in size, with its sign
  std::string largest_index_error_at;         // "TP1 in setup 2"
  std::vector<std::string> notes;             // foresights chosen among equal names
};

// A zenith under this after face reduction is an elevation angle or a slope
// in percent: no level run sights that steeply.
inline constexpr double kSmallestZenith = 30.0 * 3600.0;

// The zenith of a reading brought to face I: readings over 180 degrees are
// face II. Throws ConvertError, naming the reading's place, when the result
// is under kSmallestZenith.
double ReducedZenith(const Reading& reading);

// Groups, reduces and orders the readings of every setup. Throws
// ConvertError when a setup has fewer than two observations, a point is read
// with two rod heights, or a setup never observes the point the next one
// backsights.
ReducedRun ReduceFieldBook(const FieldBook& book);

}  // namespace quarrow
