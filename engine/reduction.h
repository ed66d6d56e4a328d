#pragma once

// Reducing one observation line. From each setup the rod is sighted on the
// point behind (the backsight, of known or carried elevation) and on one or
// more points ahead (foresights). The prism stands the rod height above the
// point and the vertical difference above the instrument's axis, so
//   Hi   = BsElev - BsVd + BsSh
//   Elev = Hi + FsVd - FsSh
// Every foresight of a setup, side shot or turning point, uses the same Hi.
// With CurvatureApplied, every vertical difference gains (1 - k) HD^2 / 2R
// (R the earth's radius in the run's units) before it is used or shown.

#include "engine/run_state.h"

namespace quarrow {

// Reduces the backsight line in LineBuffer (its setup identifier already
// taken off). The caller sets BsElev first. The first backsight of a run
// names FirstMark, the beginning bench mark.
// Writes: BsName, FirstMark (when empty), VertAngle, SlopeDist, BsSh, BsVd,
// BsHd, Hi. Consumes LineBuffer.
void ReadBacksight(RunState& rs);

// Reduces a foresight line in LineBuffer (setup identifier taken off) from
// the Hi of its setup.
// Writes: FsName, VertAngle, SlopeDist, FsSh, FsVd, FsHd, Elev.
void ReadForesight(RunState& rs);

}  // namespace quarrow
