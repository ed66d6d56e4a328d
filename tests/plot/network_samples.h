#pragma once

// Networks written out by hand as the network tool would describe them to
// the diagram: the six-run example network of examples/network/, and
// machine-made ones of any size. The tests draw them, and so does anyone
// who wants to look at a diagram (see DrawsDiagramsForTheEye).

#include <cmath>
#include <string>
#include <vector>

#include "plot/network_diagram_data.h"

namespace quarrow::network_samples {

// examples/network/ as quarrow-network adjusts it: two fixed marks, one
// weighted, two junctions, six runs, one loop and two chains between the
// fixed marks, every one meeting third order.
inline DiagramData Example() {
  DiagramData data;
  data.title = "Millbrook drainage survey";
  data.date = {2026, 12, 8};
  data.units = Units::kFeet;
  const DiagramMarkKind fixed = DiagramMarkKind::kFixed, adjusted = DiagramMarkKind::kAdjusted;
  data.marks = {{"BM N-1", fixed, std::nullopt, 499.803},
                {"BM N-4", fixed, std::nullopt, 535.459},
                {"BM N-7", DiagramMarkKind::kWeighted, std::nullopt, 464.757},
                {"J-2", adjusted, std::nullopt, 521.380},
                {"J-3", adjusted, std::nullopt, 491.377}};
  const DiagramObservationKind trig = DiagramObservationKind::kTrigRun;
  data.observations = {{0, 3, "1", trig, 0.04, false},  {3, 4, "2", trig, -0.15, false},
                       {4, 0, "3", trig, -0.87, false}, {3, 1, "4", trig, 0.17, false},
                       {1, 4, "5", trig, -0.70, false}, {4, 2, "6", trig, 0.39, false}};
  data.loops = {{{0, 1, 2}, true, "Loop 1"}, {{0, 3}, true, "Loop 2"}, {{4, 2}, true, "Loop 3"}};
  data.meets = true;
  data.summary = {"This level network MEETS third order specifications.",
                  "Redundancy 4: 6 runs, 1 weighted mark.",
                  "The a-priori standard error is 2.000mm per root km.",
                  "The standard error of unit weight is 0.968mm per root km.",
                  "Global test at 95%: 0.484 <= 0.937 <= 11.143 passed.",
                  "6 of 6 runs meet third order between the adjusted marks.",
                  "3 of 3 loops meet third order.",
                  "No standardized residual is beyond 3.29.",
                  "Mark standard deviations are in feet."};
  return data;
}

// The example with coordinates for every mark (feet, a local grid), run 5
// a blunder and loop 3 failing.
inline DiagramData ExampleWithBlunder() {
  DiagramData data = Example();
  const DiagramPosition at[] = {{1000, 5000}, {4100, 5600}, {2600, 2100}, {2300, 6200}, {2500, 4000}};
  for (std::size_t i = 0; i < data.marks.size(); ++i) data.marks[i].position = at[i];
  data.observations[4].standardized = -4.12;
  data.observations[4].flagged = true;
  data.observations[2].standardized = 2.4;
  data.loops[2].meets = false;
  data.meets = false;
  data.summary[0] = "This level network DOES NOT MEET third order specifications.";
  return data;
}

// The example with coordinates for its three bench marks only, and a spur:
// a levelled line from J-3 to a new mark that nothing else checks.
inline DiagramData ExamplePartly() {
  DiagramData data = Example();
  data.marks[0].position = DiagramPosition{1000, 5000};
  data.marks[1].position = DiagramPosition{4100, 5600};
  data.marks[2].position = DiagramPosition{2600, 2100};
  data.marks.push_back({"TBM 9", DiagramMarkKind::kAdjusted, std::nullopt, 488.112});
  data.observations.push_back(
      {4, 5, "L1", DiagramObservationKind::kLevelledLine, std::nullopt, false});
  return data;
}

// A grid of `side` by `side` marks joined to their right and lower
// neighbours, the first two fixed; coordinates every `positioned_every`th
// mark (0: none). Residuals vary along the grid; the observation through
// the middle is flagged.
inline DiagramData Grid(int side, int positioned_every = 0) {
  DiagramData data;
  data.title = "Grid of " + std::to_string(side * side) + " marks";
  data.date = {2026, 12, 8};
  data.units = Units::kMetric;
  for (int i = 0; i < side * side; ++i) {
    DiagramMark mark;
    mark.name = "M" + std::to_string(i);
    mark.kind = i < 2 ? DiagramMarkKind::kFixed : DiagramMarkKind::kAdjusted;
    if (positioned_every > 0 && i % positioned_every == 0) {
      mark.position = DiagramPosition{100.0 * (i % side), -100.0 * (i / side)};
    }
    mark.adjusted_elevation = 100 + 0.01 * i;
    data.marks.push_back(mark);
  }
  for (int i = 0; i < side * side; ++i) {
    const int row = i / side, column = i % side;
    auto join = [&](int to) {
      DiagramObservation observation;
      observation.from = i;
      observation.to = to;
      observation.label = std::to_string(data.observations.size() + 1);
      observation.standardized = 3.5 * std::sin(0.37 * static_cast<double>(i));
      data.observations.push_back(observation);
    };
    if (column + 1 < side) join(i + 1);
    if (row + 1 < side) join(i + side);
  }
  if (!data.observations.empty()) {
    data.observations[data.observations.size() / 2].flagged = true;
    data.observations[data.observations.size() / 2].standardized = 5.0;
  }
  data.summary = {"This level network MEETS third order specifications."};
  return data;
}

}  // namespace quarrow::network_samples
