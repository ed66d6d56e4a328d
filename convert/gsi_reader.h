#pragma once

// Reading Leica GSI files: one block a line, each a row of words (see
// convert/gsi_words.h for lines and words).
//
// The words used here:
//   11     point identifier (padding zeros on the left removed)
//   21     horizontal angle: with 11 and no zenith or distance, an
//          angle-only measurement
//   22     zenith angle
//   31     slope distance, or 32 horizontal distance; a block with a zenith
//          and no distance (or a distance of zero) is an angle-only
//          measurement, passed over and counted
//   87     reflector height, carried over until another block gives one
//   84-86, 88  station easting, northing, height and instrument height: a
//          block holding any of them and no zenith or distance is a station
//          block and starts a setup; beside a measurement they only record
//          the setup's station and instrument height
//   41-49  a code block: code 1 or 2 (word 41) with word 42 (information 1,
//          the station) or 43 (information 2, the instrument height) starts
//          a setup at the station word 42 names; any other code block is
//          passed over
// Other words (codes, coordinates, ppm) are passed over.

#include <string_view>

#include "convert/field_book.h"

namespace quarrow {

// Reads the words of every line into setups of readings. Setups start at
// station blocks and station code blocks; a file with neither starts a new
// setup where the point just observed is observed again at once in face I
// (the foresight of one setup and the backsight of the next, on the same
// turning point). Throws ConvertError naming the line for a malformed word;
// an observation without a point, zenith or reflector height; and, when no
// block marks the setups, a split in which a setup reads a point again after
// other points or holds more than kMostObservationsInASetup observations.
FieldBook ReadGsi(std::string_view bytes);

// True when the first line that holds words starts like a GSI word: an
// optional "*", two digits, four characters of digits and ".", and a sign.
bool LooksLikeGsi(std::string_view bytes);

}  // namespace quarrow
