#pragma once

// What the network diagram shows, as plain numbers and bytes: the network
// tool fills it from its adjustment and the drawing reads nothing else, so
// that the network needs no Qt to say what is to be drawn.
//
// Nothing here can stop the drawing: an index out of range, a number that
// is not finite, an empty network or a name of any length still draws (the
// piece concerned is left out or shortened).

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "engine/platform.h"
#include "engine/units.h"

namespace quarrow {

enum class DiagramMarkKind {
  kFixed,     // held at its published elevation
  kWeighted,  // published, held with its standard deviation
  kAdjusted,  // found by the adjustment
};

// Where a mark stands on the ground, in the units of the network, east and
// north. A coordinate that is not finite, or beyond 1e12 in size, is taken
// as no position.
struct DiagramPosition {
  double easting = 0;
  double northing = 0;
};

struct DiagramMark {
  std::string name;  // bytes as read from the marks or field file
  DiagramMarkKind kind = DiagramMarkKind::kAdjusted;
  // None: the graph layout places the mark among its neighbours.
  std::optional<DiagramPosition> position;
  // Shown under the name when finite.
  double adjusted_elevation = std::numeric_limits<double>::quiet_NaN();
};

enum class DiagramObservationKind {
  kTrigRun,       // a field file of trigonometric levelling
  kLevelledLine,  // a height difference levelled (digital level, or a lines file)
};

// A height difference observed between two marks, drawn as a line.
struct DiagramObservation {
  std::int64_t from = 0;  // indices into DiagramData::marks
  std::int64_t to = 0;
  std::string label;  // what names it in the report, such as the run's number
  DiagramObservationKind kind = DiagramObservationKind::kTrigRun;
  // Its standardized residual; none when nothing else checks it (no
  // redundancy), which draws it in a neutral colour.
  std::optional<double> standardized;
  bool flagged = false;  // a likely blunder: drawn bold and always labelled
};

// A loop of observations, or a chain of them between two fixed marks.
struct DiagramLoop {
  // Indices into DiagramData::observations, in order around the loop or
  // along the chain.
  std::vector<std::int64_t> observations;
  bool meets = true;  // false: shaded, as failing third order
  std::string label;  // what names it in the report, such as "Loop 2"
};

struct DiagramData {
  std::vector<DiagramMark> marks;
  std::vector<DiagramObservation> observations;
  std::vector<DiagramLoop> loops;
  Units units = Units::kFeet;  // of positions and elevations
  std::string title;           // bytes; the picture's heading
  CivilDate date;              // shown when valid
  bool meets = true;           // the network's verdict, as the report gives it
  // The report's summary box, a line each, without its frame (bytes).
  std::vector<std::string> summary;
  // The size of a standardized residual beyond which an observation is
  // flagged: the colour scale's last stop.
  double flag_limit = 3.29;
  int decimals = 3;  // of the elevations shown
};

}  // namespace quarrow
