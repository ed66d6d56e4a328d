#pragma once

// Synthetic field files for the benchmarks: a level run of any number of
// setups, made from a seed so that every machine measures the same bytes.
// The run follows a rolling terrain: each setup sights a backsight and a
// turning point at balanced distances, and about one setup in three also
// takes side shots (culvert inverts, manhole rims, floor elevations). Angles
// carry a couple of seconds of noise, so the run misses closure by a
// realistic amount and, like a crew's run, normally meets third order.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "engine/units.h"

namespace quarrow::bench {

struct FieldFileOptions {
  std::int64_t setups = 1000;
  std::uint64_t seed = 1;
  // Byte 176 as the Windows office software writes it; byte 248 for the
  // older DOS export, which also starts with a job line and a column line.
  char degree_mark = '\xb0';
  Units units = Units::kMetric;  // in feet: two decimals, 5.00 rods
};

// The published elevations a crew would type for the generated run.
struct BenchMarks {
  double begin_elev = 0;
  double end_elev = 0;
};

// Writes the field file, CR LF line ends, through `write` in pieces of a few
// tens of kilobytes, so that runs of millions of setups need no memory.
BenchMarks GenerateFieldFile(const FieldFileOptions& options,
                             const std::function<void(std::string_view)>& write);

// The whole field file as one text; `marks`, when given, receives the
// published elevations.
std::string FieldFileText(const FieldFileOptions& options, BenchMarks* marks = nullptr);

}  // namespace quarrow::bench
