#pragma once

// Test helpers for the readers: a field book as one line of text, so that a
// table row can say what a file must read as, and a check that a reader
// refuses a file with a message containing the words expected.

#include <functional>
#include <string>

#include "convert/field_book.h"

namespace quarrow::testing_support {

// "STN1 bs=BM1: BM1 323712.0 48.2142 1.5000 B; TP1 324200.0 47.9050 1.5000 F | ..."
// per setup: the station, the backsight the file names, then every reading
// (zenith in seconds, slope and rod in metres) with B or F where the file
// marks the backsight or foresight.
std::string BookText(const FieldBook& book);

// The message of the ConvertError that `read` throws, or "accepted".
std::string RefusalOf(const std::function<void()>& read);

}  // namespace quarrow::testing_support
