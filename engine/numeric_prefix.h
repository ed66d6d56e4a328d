#pragma once

#include <string_view>

namespace quarrow {

// Reads the number at the front of a field-file text. Blanks, tabs and line
// feeds are skipped wherever they stand ("1 2.5" reads 12.5); then an
// optional sign, digits, one ".", and an optional exponent ("e" or "E", an
// optional sign, digits) are taken, stopping at the first byte that cannot
// continue the number. A text with no digits gives 0. The decimal point is
// always ".", whatever the user's locale; "inf", "nan", hexadecimal and other
// notations are not numbers here. A value too large for a double gives an
// infinity with its sign, one too small gives 0.
double NumericPrefix(std::string_view text);

// What NumericPrefix leaves unread of `text`: "l.880" of "5l.880", "O" of
// "51.88O", "" of "52.114" and of " 1.5 ". A text with no digits is left
// whole (from its first byte that is not a blank).
std::string_view NumericPrefixRest(std::string_view text);

}  // namespace quarrow
