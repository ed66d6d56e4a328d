#pragma once

// What the profile picture shows, as plain numbers and bytes: the listener
// (plot/profile_picture.h) fills it from the report pass, and the drawing
// (plot/profile_drawing.h) reads nothing else.

#include <cmath>
#include <string>
#include <vector>

#include "engine/platform.h"
#include "engine/run_listener.h"
#include "engine/units.h"

namespace quarrow {

// The drawing is made on a canvas of this size, which each output scales to
// its page or image.
inline constexpr double kCanvasWidth = 1600;
inline constexpr double kCanvasHeight = 1000;
// How many names could ever stand side by side along the run: the narrowest
// label (an upright one, one line high) in the width of the panels. A
// listener need keep no more names than this per kind of point.
inline constexpr int kLabelSlots = 180;

// A name that may be drawn, where its point is.
struct ProfileLabel {
  double distance = 0;
  double elevation = 0;
  PointRole role = PointRole::kTurn;
  std::string name;  // bytes as read from the field file
};

struct ProfileData {
  std::string field_file;  // the field file's name, without its folder, as bytes
  Units units = Units::kMetric;
  CivilDate date;
  double run_length = 0;
  double misclosure = 0;
  double allowed_error = 0;
  double max_diff = 0;  // the BS - FS limit of a setup and of the whole run
  bool meets = true;    // the run meets third order
  // The beginning mark, the turning points and the ending mark, in run order.
  std::vector<double> mark_distance;
  std::vector<double> mark_elevation;
  // Side shots, at the run distance of their instrument.
  std::vector<double> side_distance;
  std::vector<double> side_elevation;
  // Per setup: the run distance at its turning point and its BS - FS.
  std::vector<double> setup_end;
  std::vector<double> setup_difference;
  // Names worth trying to place; the beginning and ending marks always.
  std::vector<ProfileLabel> labels;
};

// Whether `value` is over `limit` as the report's third-order tests judge a
// setup's BS - FS, the whole run's balance and the misclosure: only a size
// strictly greater than the limit is over. A value that is not a number is
// over nothing.
inline bool OverLimit(double value, double limit) { return std::fabs(value) > limit; }

}  // namespace quarrow
