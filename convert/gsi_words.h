#pragma once

// The lines and words of a Leica GSI file, as instruments write them.
//
// Lines end in CR LF, LF or CR alone, mixed within one file. A line that
// starts (after blanks) with "!" is a comment, one that starts with a
// control character other than a tab is transfer noise (the ETX of a serial
// download, the DOS end-of-file mark): both are passed over, as are blank
// lines. Leading and trailing blanks and tabs do not count.
//
// A GSI-8 word is 15 characters: the word index (2 digits), four characters
// of additional information (the sixth character of the word is the unit),
// a sign, 8 characters of data. A GSI-16 line starts with "*" and its words
// carry 16 characters of data (23 in all). Words are read by their fixed
// width, so a point name keeps its own blanks ("0000BM 7"); between words
// any run of blanks and tabs separates them.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

struct GsiLine {
  std::string_view text;  // without its line end and its outer blanks
  int number = 0;         // counted from 1, every line end counting once
};

// The lines that can hold words, in order.
std::vector<GsiLine> GsiLines(std::string_view bytes);

struct GsiWord {
  std::string_view text;  // the whole word, without its separating blanks
  std::string_view index;
  char unit = 0;
  char sign = '+';
  std::string_view data;
};

// The words of one line. Throws ConvertError naming the line and the word
// for a word too short, running into the next, or without an index, its
// information digits or its sign.
std::vector<GsiWord> SplitGsiWords(const GsiLine& line);

// The data digits as an integer, read as text, never through a float.
// Throws ConvertError for anything but digits.
std::int64_t GsiDataNumber(const GsiWord& word, int line);

// A zenith angle in seconds of arc, from any angle unit. Throws
// ConvertError for a negative angle, a length unit, minutes or seconds of
// 60 or more, or a full circle or more.
double GsiZenithSeconds(const GsiWord& word, int line);

// A length in metres, and through `feet` whether the word gave it in feet.
// Throws ConvertError for a unit that is not a length unit.
double GsiLengthMetres(const GsiWord& word, int line, bool* feet);

// The data as text (a point name, a code's information), padding zeros on
// the left removed; all zeros is "0". Bytes are Windows-1252.
std::u32string GsiText(const GsiWord& word);

// True when the data is all zeros: a measurement word the instrument's
// record mask wrote although nothing was measured.
bool GsiDataIsZero(const GsiWord& word);

}  // namespace quarrow
