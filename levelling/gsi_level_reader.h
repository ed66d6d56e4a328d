#pragma once

// Reading the GSI of Leica's digital levels (DNA03, DNA10, LS10, LS15,
// Sprinter): one block a line, each a row of words (lines and words as
// convert/gsi_words.h reads them, GSI-8 and GSI-16).
//
// Word indexes 33x, 37x, 39x, 56x, 57x and 59x carry their third digit in
// the word's third character ("331.08+00159977" is word 331, unit 8). The
// words used here:
//   11        point identifier (padding zeros on the left removed)
//   32        distance to the staff
//   331, 335  backsight readings, the first and the second of a setup
//   332, 336  foresight readings, the first and the second of a setup
//   330, 333, 334  measure-only, intermediate and set-out readings: passed
//             over and counted
//   41        a code block whose data is "?" and a number starts a line
//             levelled in that order: 1 BF, 2 BFFB, 3 aBF, 4 aBFFB; 10
//             starts a check-and-adjust (collimation) test, whose readings
//             are passed over until the next line starts. Other code blocks
//             (codes the crew keyed in) are passed over.
//   83        with 11 and no reading before the line's first reading: the
//             bench mark the line starts on. Elsewhere it is the height the
//             instrument computed, passed over.
// The station differences and running sums (571 to 574), the repetition
// counts and spreads (390 to 392), remarks and temperatures are passed over.
// Staff readings and distances are in the unit their unit digit gives: 0
// (1 mm), 6 (0.1 mm) and 8 (0.01 mm) metres, 1 (0.001 ft) and 7 (0.0001 ft)
// feet. Without any code block the whole file is one line.

#include <string_view>

#include "levelling/levelled_file.h"

namespace quarrow {

// Throws ConvertError as ReadLevelledFile does; also for a total-station
// measurement (words 21, 22 or 31) and a block holding two staff readings.
LevelledFile ReadGsiLevelFile(std::string_view bytes);

// True when the first line holds GSI words and the file holds a staff
// reading (330 to 336) and no total-station measurement (21, 22, 31).
bool IsGsiLevelFile(std::string_view bytes);

}  // namespace quarrow
