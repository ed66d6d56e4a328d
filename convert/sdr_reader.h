#pragma once

// Reading Sokkia SDR33 (.sdr), as Sokkia and older Topcon collectors write
// it and Trimble Access exports it: fixed-width records, one a line, the
// record type in columns 1-2 and its derivation code in columns 3-4, then
// fields of 16 characters (the SDR33 layout, with point IDs of up to 16
// characters; names are right-aligned and lose their padding blanks).
//
// The records used:
//   00  the header, first in the file: the angle unit in column 41 (1
//       decimal degrees, 2 gon, 3 mil) and the distance unit in column 42
//       (1 metres, 2 international feet).
//   10  the job: column 21 must say 1, point IDs of 16 characters.
//   02  a station: the point in columns 5-20 starts a setup; its
//       coordinates and instrument height are not needed.
//   07  a backsight: the station (5-20) and the point it backsights (21-36).
//   03  the target height (5-20), the rod of every observation after it.
//   09  an observation: station (5-20), target (21-36), slope distance
//       (37-52), zenith angle (53-68); the horizontal angle is passed over.
//       F1 and F2 are the readings in each face, and are used; MC is the
//       collector's mean of them, used for a point only where the setup
//       keeps no F1 or F2 reading of it. An observation without a slope
//       distance is angle-only, passed over and counted. A 07 or 09 naming
//       another station than the setup's starts a setup there.
//   08  coordinates: passed over, but what a file without observations holds.
// Notes (13) and the other records (01, 04, 05, 06, 11, 12) are passed over.
// Slope distances are used as the 09 record gives them: the converter
// applies no correction of its own, neither the 05 atmosphere nor the 06
// scale, which are the collector's settings for computing coordinates.

#include <string_view>

#include "convert/field_book.h"

namespace quarrow {

// Throws ConvertError naming the line for a file that does not start with
// its header, units the header does not define, the layout of 4-digit point
// numbers, a short record, a number that is not one, an observation before
// any target height or without a zenith angle, and a file without
// observations (saying whether it holds coordinates or only angles).
FieldBook ReadSdr(std::string_view bytes);

// True when the first line is an SDR header record: "00", two characters,
// "SDR".
bool LooksLikeSdr(std::string_view bytes);

}  // namespace quarrow
