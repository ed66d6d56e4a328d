#pragma once

// Fixed-width fields of the adjustment report. Numbers use the pattern
// "0.000": at least one digit before the decimal separator, exactly three
// after it, rounded, no grouping, "-" before negative values. The decimal
// separator is the user's locale's, handed in by the caller.

#include <string>
#include <string_view>

#include "engine/platform.h"

namespace quarrow {

// `value` as "0.000" with `decimal_separator` in place of the point.
// Zero, negative zero included, is "0.000"; a tiny negative value that rounds
// to zero keeps its minus sign ("-0.000"), as C's formatting gives it.
std::string FormatFixed3(double value, std::string_view decimal_separator);
// FormatFixed3's text appended to `out`, without a string of its own.
void AppendFixed3(std::string& out, double value, std::string_view decimal_separator);

// `text` cut to `width` bytes, or left-justified in `width` with blanks.
std::string PadText(std::string_view text, int width);

// `value` right-justified in a field of `width`. A negative width asks for a
// signed reading in a field of |width|: "+" before a positive value, "-"
// before a negative one, no sign for exactly zero. A number too wide for its
// field keeps its first characters and loses its last ones.
std::string FormatReading(double value, int width, std::string_view decimal_separator = ".");
// FormatReading's text appended to `line`: report lines are built this way,
// without a string for every number.
void AppendReading(std::string& line, double value, int width, std::string_view decimal_separator);

// The date as "mm/dd/yyyy" with `date_separator` between the parts.
std::string FormatReportDate(const CivilDate& date, std::string_view date_separator = "/");

// A summary text closed by the bar in column 80: the text followed by the
// last (80 - length) bytes of `frame_fill` (79 blanks and "|"). A text of 80
// bytes or more is returned unchanged, without a bar.
std::string FrameSummaryLine(std::string_view text, std::string_view frame_fill);

}  // namespace quarrow
