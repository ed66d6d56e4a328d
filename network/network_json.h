#pragma once

// The network's JSON export up to its points: the marks, the runs, the
// loops and the statistics. The points of every run follow, streamed by the
// network's point exports (network/network_points.h).

#include <string>

#include "network/network_adjustment.h"

namespace quarrow {

// The document from its opening brace to the opening of "points".
std::string NetworkJsonPrologue(const NetworkRequest& request, const Network& network,
                                const NetworkResult& result);

}  // namespace quarrow
