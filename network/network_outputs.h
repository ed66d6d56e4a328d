#pragma once

// What quarrow-network writes: the network report, each run's own report
// adjusted between its network marks, and the CSV and JSON exports. Every
// output is written into its temporary file first; none is moved into place
// before all are complete.

#include <string>
#include <vector>

#include "engine/platform.h"
#include "network/network_adjustment.h"

namespace quarrow {

// An output made beside the network's own, such as its picture: finished
// before anything moves into place, and moved with the rest.
class NetworkSideOutput {
 public:
  virtual ~NetworkSideOutput() = default;
  virtual const std::string& path() const = 0;
  // Writes the output into its temporary file; false, with ErrorText, when
  // it cannot.
  virtual bool Write() = 0;
  virtual bool Commit() = 0;
  virtual std::string ErrorText() const = 0;
};

struct NetworkOutputFiles {
  std::string report;
  std::vector<std::string> csv_exports;
  std::vector<std::string> json_exports;
  bool run_reports = false;                      // each run's ".adj" beside its field file
  std::vector<NetworkSideOutput*> side_outputs;  // not owned
};

// Writes every output. Each run is adjusted between the adjusted elevations
// of its two marks by the single-run engine, so its points are exactly the
// ones quarrow-adjust gives with those elevations. False, with the problem
// shown, when anything could not be written; nothing is then moved into place
// (unless a move itself fails part way).
bool WriteNetworkOutputs(Platform& platform, const NetworkRequest& request, const Network& network,
                         const NetworkResult& result, const NetworkOutputFiles& files);

}  // namespace quarrow
