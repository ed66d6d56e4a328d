#pragma once

// The network report: the files, the marks with their adjusted elevations,
// the runs with their residuals, the loops and a framed summary.

#include <string>
#include <string_view>

#include "engine/platform.h"
#include "network/network_adjustment.h"

namespace quarrow {

// "fixed", "weighted" or "adjusted".
std::string_view StatusName(MarkStatus status);

// The network report: fixed-width lines ending CR LF, numbers as the run
// report writes them with the platform's decimal separator, dated today.
std::string NetworkReportText(Platform& platform, const NetworkRequest& request,
                              const Network& network, const NetworkResult& result,
                              const std::string& report_path);

}  // namespace quarrow
