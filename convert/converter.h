#pragma once

// The whole conversion, from the bytes of a JobXML or GSI file to the bytes
// of the field file and the summary the tool prints.

#include <string>
#include <string_view>

#include "convert/field_file_writer.h"
#include "convert/level_run.h"

namespace quarrow {

enum class SourceFormat { kRecognise, kJobXml, kGsi };
enum class UnitChoice { kFromFile, kMetric, kFeet };

struct ConvertOptions {
  SourceFormat from = SourceFormat::kRecognise;
  UnitChoice units = UnitChoice::kFromFile;
  bool dos = false;
  std::string source_name;  // the input's file name, for the first line
};

struct Conversion {
  std::string kind;  // "JobXML" or "GSI"
  bool feet = false;
  int angle_only = 0;  // measurements without a distance, passed over
  int means = 0;       // readings that are means of rounds
  ReducedRun run;
  FieldFileText text;
};

// Recognises the input by its content unless told, reads it, refuses what
// is not a level run, groups and orders the observations and writes the
// field file. Throws ConvertError with a message for the user that names
// the line or record; nothing partial comes back.
Conversion Convert(std::string_view bytes, const ConvertOptions& options);

// The field file made of `input` when no other is named: its folder and
// base name with ".txt" (quarrow-convert writes it there; the office reads
// its conversion under that name, in memory).
std::string DefaultFieldFilePath(const std::string& input);

// The summary for standard output, lines ended by "\n": setups,
// observations, side shots, angle-only measurements passed over and means
// of rounds used (when there are any), face pairs averaged, the largest
// index error, names changed, any notes, and which units to choose when
// adjusting.
std::string SummaryText(const Conversion& conversion);

}  // namespace quarrow
