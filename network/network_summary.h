#pragma once

// The network's verdict and figures in a few lines: the network report's
// summary box, and the summary the network's picture shows.

#include <string>
#include <vector>

#include "network/network_adjustment.h"

namespace quarrow {

// The lines of the summary box, each starting "| " ("| ** " for one that
// tells a failure), without the frame's closing bar. Numbers with
// `separator` as the decimal separator.
std::vector<std::string> NetworkSummary(const std::string& separator, const NetworkRequest& request,
                                        const Network& network, const NetworkResult& result);

}  // namespace quarrow
