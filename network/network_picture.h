#pragma once

// What the network's picture shows (plot/network_diagram_data.h), filled
// from the adjustment as the report tells it: the marks with their kinds and
// positions, every observation with its standardized residual, the loops
// with their verdicts, and the report's summary.

#include "engine/platform.h"
#include "network/network_adjustment.h"
#include "plot/network_diagram_data.h"

namespace quarrow {

DiagramData NetworkDiagramData(const NetworkRequest& request, const Network& network,
                               const NetworkResult& result, CivilDate date,
                               const std::string& separator);

}  // namespace quarrow
