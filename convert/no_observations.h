#pragma once

// The refusal of a file that reads well and holds no total-station
// observation with a distance: it says what the file holds instead (GNSS
// positions, coordinates, angles only), names where the first of them is,
// and says what a level run needs, in the words of the file's format.

#include <set>
#include <string>

#include "convert/field_book.h"

namespace quarrow {

// How many records of a kind, and where the first of them is.
struct Tally {
  int count = 0;
  std::string first;  // "record 0000001f", "line 12"

  void Add(const std::string& place) {
    if (count++ == 0) first = place;
  }
};

struct FileHoldings {
  Tally gnss;         // positions or vectors measured by a GNSS receiver
  Tally coordinates;  // points keyed in, imported or computed
  Tally angle_only;   // total-station sightings without a distance
};

struct FormatWords {
  const char* first_here;  // "the first in this record", "the first on this line"
  const char* distance;    // what the format calls a distance: "an EDMDistance"
  const char* needs;       // "a level run needs ..."
};

// Throws ConvertError: GNSS first, then angles, then coordinates, then
// nothing at all.
[[noreturn]] void RefuseWithoutObservations(const FileHoldings& holdings, const FormatWords& words);

// The last step of a reader: marks the setups on points the file also lists
// as job points, counts the angle-only sightings, and refuses the file (as
// above) when no setup kept a reading.
void FinishFieldBook(FieldBook& book, const std::set<std::u32string>& job_points,
                     const FileHoldings& holdings, const FormatWords& words);

}  // namespace quarrow
