#include "network/network_picture.h"

#include "engine/version.h"
#include "network/network_summary.h"

namespace quarrow {

DiagramData NetworkDiagramData(const NetworkRequest& request, const Network& network,
                               const NetworkResult& result, CivilDate date,
                               const std::string& separator) {
  DiagramData data;
  data.units = network.units;
  data.date = date;
  data.title = "Level network of " + std::to_string(network.marks.size()) + " marks and " +
               std::to_string(network.runs.size()) + " observations";
  data.meets = result.all_meet;
  data.flag_limit = kBlunderLimit;
  data.decimals = request.decimals;
  for (std::size_t m = 0; m < network.marks.size(); ++m) {
    DiagramMark mark;
    mark.name = network.mark_names[m];
    switch (result.marks[m].status) {
      case MarkStatus::kFixed:
        mark.kind = DiagramMarkKind::kFixed;
        break;
      case MarkStatus::kWeighted:
        mark.kind = DiagramMarkKind::kWeighted;
        break;
      case MarkStatus::kAdjusted:
        mark.kind = DiagramMarkKind::kAdjusted;
        break;
    }
    if (m < network.positions.size() && network.positions[m]) {
      mark.position =
          DiagramPosition{network.positions[m]->easting, network.positions[m]->northing};
    }
    mark.adjusted_elevation = result.solution.elevation[m];
    data.marks.push_back(std::move(mark));
  }
  for (std::size_t r = 0; r < network.runs.size(); ++r) {
    const RunRecord& run = network.runs[r];
    DiagramObservation observation;
    observation.from = run.from;
    observation.to = run.to;
    observation.label = std::to_string(r + 1);
    observation.kind = run.kind == ObservationKind::kTrigRun
                           ? DiagramObservationKind::kTrigRun
                           : DiagramObservationKind::kLevelledLine;
    observation.standardized = result.runs[r].standardized;
    observation.flagged = result.runs[r].flagged;
    data.observations.push_back(std::move(observation));
  }
  for (std::size_t l = 0; l < result.loops.size(); ++l) {
    DiagramLoop loop;
    for (const LoopStep& step : result.loops[l].loop.steps) loop.observations.push_back(step.run);
    loop.meets = result.loops[l].meets;
    loop.label = "Loop " + std::to_string(l + 1);
    data.loops.push_back(std::move(loop));
  }
  for (std::string line : NetworkSummary(separator, request, network, result)) {
    data.summary.push_back(line.starts_with("| ") ? line.substr(2) : line);
  }
  return data;
}

}  // namespace quarrow
