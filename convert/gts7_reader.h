#pragma once

// Reading Topcon GTS-7 raw data (.gt7), as Topcon instruments and MAGNET
// Field write it: one record a line, a keyword (JOB, UNITS, STN...) padded
// with blanks, then its values separated by commas.
//
// The records used:
//   UNITS       the length and angle units of the records after it: M
//               (metres) or F (international feet); D (degrees, minutes and
//               seconds as DDD.MMSS) or G (gon).
//   STN         point, instrument height, code: a setup standing on the
//               point; the instrument height is not needed.
//   BS, FS, SS  point, target height, code: the point the lines after it
//               sight, as backsight, foresight or side shot. A target height
//               is carried to the shots after it until another is given; an
//               empty one keeps the last.
//   TH          a target height alone, carried the same way.
//   SD          horizontal angle, zenith angle, slope distance: one reading
//               of the point the header before it names (both faces, or
//               repeated readings, are several SD lines).
//   HV          angles without a distance: angle-only, passed over and
//               counted.
//   HD          horizontal angle, horizontal distance, height difference:
//               refused, since the zenith as measured is not in it.
//   XYZ, NEZ    coordinates: passed over, but what a file without
//               observations holds.
// JOB, INST, BKB, CTL and every other record are passed over.

#include <string_view>

#include "convert/field_book.h"

namespace quarrow {

// Throws ConvertError naming the line for units it does not know, a reading
// before any UNITS, STN or header, a reading without a zenith angle or
// before any target height, an HD line, a number that is not one, and a file
// without observations (saying whether it holds coordinates or only
// angles).
FieldBook ReadGts7(std::string_view bytes);

// True when the first line starts with a GTS-7 keyword and a blank.
bool LooksLikeGts7(std::string_view bytes);

}  // namespace quarrow
