#pragma once

// Files whose every reading is sound but that are not level runs: a
// traverse, a survey from one station. Grouping them into setups would give
// a field file that adjusts without complaint and means nothing.

#include "convert/field_book.h"

namespace quarrow {

// Throws ConvertError, naming the setups and saying what a level run needs,
// when `book` is
// - a traverse: two or more setups, each backsighting the point the setup
//   before it stood on, so that no foresight is ever the next backsight;
// - a survey from one station: a single setup standing on a point of the
//   job (a level-run instrument stands between the rods, never on a mark);
// - any setup with more observations than kMostObservationsInASetup.
void RefuseWhatIsNotALevelRun(const FieldBook& book);

}  // namespace quarrow
