#pragma once

// Independent loops of a level network: a spanning tree of the marks, grown
// from a common origin joined to every fixed mark, leaves one run outside it
// for each loop. That run and the tree path between its ends close either a
// loop of runs or a chain of runs between two fixed marks (the path then
// passes through the origin), and the loops so found are independent: none
// is a sum of others.

#include <cstdint>
#include <vector>

#include "network/network_solver.h"

namespace quarrow {

// One run of a loop, in the loop's direction.
struct LoopStep {
  std::int64_t run = 0;
  bool forward = true;  // false: the loop goes from the run's ending to its beginning mark
};

struct NetworkLoop {
  std::vector<LoopStep> steps;  // the runs in order around the loop or along the chain
  // For a chain between fixed marks, its first and last mark; -1 for a loop.
  std::int64_t first_fixed = -1;
  std::int64_t last_fixed = -1;
  // The observed differences summed around the loop, less the published
  // difference of the fixed marks for a chain: zero for perfect levelling.
  double misclosure = 0;
};

// The loops of the network, one for every run outside the spanning tree, in
// the order of those runs. Marks not reached by any run are left alone.
std::vector<NetworkLoop> FindLoops(const std::vector<NetworkMark>& marks,
                                   const std::vector<NetworkRun>& runs);

}  // namespace quarrow
