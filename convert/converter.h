#pragma once

// The whole conversion, from the bytes of a total-station file (JobXML,
// LandXML, GSI, RW5, SDR33 or GTS-7) to the bytes of the field file and the
// summary the tool prints.

#include <optional>
#include <string>
#include <string_view>

#include "convert/field_file_writer.h"
#include "convert/level_run.h"

namespace quarrow {

enum class SourceFormat { kRecognise, kJobXml, kGsi, kRw5, kLandXml, kSdr, kGts7 };
// Every value of SourceFormat, kRecognise included (for the fuzzer).
inline constexpr int kSourceFormatCount = 7;

// The format `--from` names: "jobxml", "landxml", "gsi", "rw5", "sdr",
// "gts7"; none for anything else.
std::optional<SourceFormat> SourceFormatNamed(std::string_view name);

// Those names in the order the help lists them, joined by `separator`.
std::string SourceFormatNames(std::string_view separator);

struct ConvertOptions {
  SourceFormat from = SourceFormat::kRecognise;
  std::optional<Units> units;  // the field file's units; without them the file's own
  bool dos = false;
  std::string source_name;  // the input's file name, for the first line
};

struct Conversion {
  std::string kind;              // "JobXML", "GSI", "RW5", "LandXML", "SDR33" or "GTS-7"
  Units units = Units::kMetric;  // the field file's
  bool us_survey_feet = false;   // the feet written are US survey feet
  std::string units_read;        // the file's own units
  int angle_only = 0;            // measurements without a distance, passed over
  int means = 0;                 // readings that are means of rounds
  ReducedRun run;
  FieldFileText text;
};

// Recognises the input by its content unless told, reads it, refuses what
// is not a level run, groups and orders the observations and writes the
// field file. Lengths in feet are the file's own foot (international or US
// survey) when the file is in feet, the international foot when metres are
// turned into feet. Throws ConvertError with a message for the user that
// names the line or record; nothing partial comes back.
Conversion Convert(std::string_view bytes, const ConvertOptions& options);

// What the content of `bytes` would be converted as: the format whose
// reader recognises it, or kRecognise for other XML (Convert then says what
// it is and what was expected); none for what looks like no file of the
// converter's (a field file, for one).
std::optional<SourceFormat> RecognisedFormat(std::string_view bytes);

// The field file made of `input` when no other is named: its folder and
// base name with ".txt" (quarrow-convert writes it there; the office reads
// its conversion under that name, in memory).
std::string DefaultFieldFilePath(const std::string& input);

// The summary for standard output, lines ended by "\n": setups,
// observations, side shots, angle-only measurements passed over and means
// of rounds used (when there are any), face pairs averaged, the largest
// index error, names changed, any notes, the units the file gives, and
// which units to choose when adjusting.
std::string SummaryText(const Conversion& conversion);

}  // namespace quarrow
