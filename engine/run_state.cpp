#include "engine/run_state.h"

namespace quarrow {

void InitialiseFrames(RunState& rs) {
  rs.BorderLine = "+" + std::string(78, '-') + "+";
  rs.FrameFill = std::string(79, ' ') + "|";
}

}  // namespace quarrow
