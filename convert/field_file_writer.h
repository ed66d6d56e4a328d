#pragma once

// Writing the comma-delimited field file the window and quarrow-adjust read:
// a first line naming the source and the units ("...; units: metric"), then
// one observation a line
//   setup,point,zenith,slope distance,rod height
// with CR LF line ends, single-byte names and "." decimals.

#include <string>

#include "convert/level_run.h"
#include "engine/code_pages.h"
#include "engine/units.h"

namespace quarrow {

struct FieldFileOptions {
  Units units = Units::kMetric;             // of the lengths written
  double metres_per_foot = kMetresPerFoot;  // the international foot, or the US survey foot
  bool dos = false;         // degree sign byte 248 and code page 437, else 176 and Windows-1252
  std::string source_name;  // the input file's name, for the first line
  std::string kind;         // "JobXML", "GSI", "RW5"...
};

struct FieldFileText {
  std::string bytes;
  int unmappable = 0;     // characters the code page lacks, written as "?"
  int commas = 0;         // commas in names, written as ";"
  int names_changed = 0;  // observation lines whose name was changed
};

// `value` with exactly `decimals` decimals and "." whatever the locale.
std::string FormatFixed(double value, int decimals);

// Whole degrees, `mark`, two-digit minutes, "'", two-digit seconds with two
// decimals: 89°58'30.00. Rounded to the hundredth of a second first, so that
// 59.999" never shows as 60.00.
std::string FormatZenith(double seconds, char mark);

// `name` in the code page; a comma would split the line and becomes ";", a
// character the code page lacks becomes "?". Both are counted.
std::string EncodeName(const std::u32string& name, CodePage page, int& unmappable, int& commas);

FieldFileText WriteFieldFile(const ReducedRun& run, const FieldFileOptions& options);

}  // namespace quarrow
