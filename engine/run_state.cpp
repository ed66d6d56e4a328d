#include "engine/run_state.h"

namespace quarrow {

void InitialiseFrames(RunState& rs) {
  rs.BorderLine = "+" + std::string(78, '-') + "+";
  rs.FrameFill = std::string(79, ' ') + "|";
}

void StoreUnits(RunState& rs, Units units) {
  rs.UnitsLabel = UnitsLabel(units);
  rs.UnitMark = UnitMark(units);
}

}  // namespace quarrow
