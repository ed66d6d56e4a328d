#pragma once

// Reading Leica GSI files: one block a line, each a row of words of fixed
// width. A GSI-8 word is 16 characters: the word index (2 digits), four
// characters of additional information (the sixth character of the word is
// the unit), a sign, 8 characters of data and a blank. A GSI-16 line starts
// with "*" and its words carry 16 characters of data (24 in all).
//
// The words used here:
//   11     point identifier (padding zeros on the left removed)
//   22     zenith angle
//   31     slope distance, or 32 horizontal distance
//   87     reflector height, carried over until another block gives one
//   84-86, 88  station easting, northing, height and instrument height:
//          a block holding any of them starts a setup
// Other words (codes, horizontal angles, coordinates) are passed over.

#include <string_view>

#include "convert/field_book.h"

namespace quarrow {

// The unit digits (sixth character of a measurement word).
enum class GsiUnit : char {
  kMetre = '0',            // last digit 1 mm; "." means the same on distances
  kFoot = '1',             // last digit 0.001 ft
  kGon = '2',              // 400 gon to the circle, 5 decimals
  kDecimalDegree = '3',    // 5 decimals
  kSexagesimal = '4',      // DDDMMSSs, last digit 0.1"
  kMil = '5',              // 6400 mil to the circle, 4 decimals
  kTenthMillimetre = '6',  // metres, last digit 0.1 mm
  kTenThousandthFoot = '7',
  kHundredthMillimetre = '8',
};

// Reads the words of every line into setups of readings. Setups start at
// station blocks; a file without any starts a new setup where the point just
// observed is observed again at once in face I (the foresight of one setup
// and the backsight of the next, on the same turning point). Throws
// ConvertError naming the line for a malformed word, an observation without
// a point, zenith, distance or reflector height, and a station block that
// holds a measurement.
FieldBook ReadGsi(std::string_view bytes);

// True when the first line that is not blank starts like a GSI word: an
// optional "*", two digits, four characters of digits and ".", and a sign.
bool LooksLikeGsi(std::string_view bytes);

}  // namespace quarrow
