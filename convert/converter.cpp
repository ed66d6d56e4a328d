#include "convert/converter.h"

#include <cmath>

#include "convert/gsi_reader.h"
#include "convert/gts7_reader.h"
#include "convert/jobxml_reader.h"
#include "convert/landxml_reader.h"
#include "convert/run_shape.h"
#include "convert/rw5_reader.h"
#include "convert/sdr_reader.h"
#include "convert/survey_units.h"
#include "convert/xml_root.h"
#include "engine/file_paths.h"

namespace quarrow {

namespace {

// One format quarrow-convert reads. A new reader is one row here: its
// --from name, how its content is recognised, and the reader itself.
struct FormatReader {
  SourceFormat format;
  const char* option;  // the value of --from
  const char* looks;   // for the message when no format is recognised
  bool (*looks_like)(std::string_view bytes);
  FieldBook (*read)(std::string_view bytes);
};

bool IsXmlRootedAt(std::string_view bytes, const char* root) {
  if (!LooksLikeXml(bytes)) return false;
  const std::optional<XmlRoot> found = ReadXmlRoot(bytes);
  return found && found->name == root;
}

bool LooksLikeJobXml(std::string_view bytes) { return IsXmlRootedAt(bytes, "JOBFile"); }
bool LooksLikeLandXmlRoot(std::string_view bytes) { return IsXmlRootedAt(bytes, "LandXML"); }

// In the order of the help. Their contents never look alike (XML with
// different roots, GSI words, RW5 records ending their type with a comma,
// GTS-7 keywords followed by a blank, the SDR33 header), so the order in
// which they are tried does not matter.
constexpr FormatReader kReaders[] = {
    {SourceFormat::kJobXml, "jobxml", "JobXML (an XML document whose root element is JOBFile)",
     LooksLikeJobXml, ReadJobXml},
    {SourceFormat::kGsi, "gsi",
     "GSI (lines of GSI-8 or GSI-16 words, a GSI-16 line starting with \"*\")", LooksLikeGsi,
     ReadGsi},
    {SourceFormat::kRw5, "rw5", "RW5 (comma-separated records such as MO, OC, BK, LS, SS)",
     LooksLikeRw5, ReadRw5},
    {SourceFormat::kLandXml, "landxml", "LandXML (an XML document whose root element is LandXML)",
     LooksLikeLandXmlRoot, ReadLandXml},
    {SourceFormat::kSdr, "sdr", "SDR33 (fixed-width records after a header record 00NMSDR33)",
     LooksLikeSdr, ReadSdr},
    {SourceFormat::kGts7, "gts7", "GTS-7 (lines such as JOB, UNITS, STN, BS, FS, SS, SD)",
     LooksLikeGts7, ReadGts7},
};

const FormatReader& ReaderOf(SourceFormat format) {
  for (const FormatReader& reader : kReaders) {
    if (reader.format == format) return reader;
  }
  return kReaders[0];
}

// The number of the first line that is not blank, as the text readers count
// lines; 0 for a file of blanks.
int FirstTextLine(std::string_view bytes) {
  int line = 1;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\r' || c == '\n') {
      if (!(c == '\n' && i > 0 && bytes[i - 1] == '\r')) ++line;
    } else if (c != ' ' && c != '\t') {
      return line;
    }
  }
  return 0;
}

SourceFormat Recognise(std::string_view bytes) {
  for (const FormatReader& reader : kReaders) {
    if (reader.looks_like(bytes)) return reader.format;
  }
  if (LooksLikeXml(bytes)) {
    const std::optional<XmlRoot> root = ReadXmlRoot(bytes);
    // XML that breaks before its first element: the JobXML reader names the
    // error and where it is.
    if (!root) return SourceFormat::kJobXml;
    throw ConvertError("line " + std::to_string(root->line) + ": the root element is <" +
                       root->name +
                       ">; expected <JOBFile> (Trimble JobXML) or <LandXML> (LandXML 1.2).");
  }
  const int line = FirstTextLine(bytes);
  std::string formats;
  for (std::size_t i = 0; i < std::size(kReaders); ++i) {
    if (i > 0) formats += i + 1 < std::size(kReaders) ? ", " : " or ";
    formats += kReaders[i].looks;
  }
  throw ConvertError(
      (line == 0 ? std::string("the file is empty") : "line " + std::to_string(line)) +
      ": this is none of the formats quarrow-convert reads: " + formats + ".");
}

}  // namespace

std::optional<SourceFormat> SourceFormatNamed(std::string_view name) {
  for (const FormatReader& reader : kReaders) {
    if (name == reader.option) return reader.format;
  }
  return std::nullopt;
}

std::string SourceFormatNames(std::string_view separator) {
  std::string names;
  for (const FormatReader& reader : kReaders) {
    if (!names.empty()) names += separator;
    names += reader.option;
  }
  return names;
}

Conversion Convert(std::string_view bytes, const ConvertOptions& options) {
  const SourceFormat format =
      options.from == SourceFormat::kRecognise ? Recognise(bytes) : options.from;
  const FieldBook book = ReaderOf(format).read(bytes);

  Conversion conversion;
  conversion.kind = book.kind;
  conversion.units = options.units.value_or(book.units);
  conversion.us_survey_feet =
      conversion.units == Units::kFeet && book.units == Units::kFeet && book.us_survey_feet;
  conversion.units_read = book.units_read;
  conversion.angle_only = book.angle_only;
  conversion.means = book.means;
  RefuseWhatIsNotALevelRun(book);
  conversion.run = ReduceFieldBook(book);
  FieldFileOptions write;
  write.units = conversion.units;
  write.metres_per_foot = conversion.us_survey_feet ? kMetresPerUsSurveyFoot : kMetresPerFoot;
  write.dos = options.dos;
  write.source_name = options.source_name;
  write.kind = book.kind;
  conversion.text = WriteFieldFile(conversion.run, write);
  return conversion;
}

std::string SummaryText(const Conversion& conversion) {
  const ReducedRun& run = conversion.run;
  const FieldFileText& text = conversion.text;
  std::string out;
  out += "Setups: " + std::to_string(run.setups.size()) + "\n";
  out += "Observations: " + std::to_string(run.observations) + "\n";
  out += "Side shots: " + std::to_string(run.side_shots) + "\n";
  if (conversion.angle_only > 0) {
    out += "Angle-only measurements passed over: " + std::to_string(conversion.angle_only) +
           " (no distance)\n";
  }
  if (conversion.means > 0) {
    out += "Means of rounds used: " + std::to_string(conversion.means) +
           " (no direct reading of those points kept)\n";
  }
  out += "Face pairs averaged: " + std::to_string(run.face_pairs) + "\n";
  if (run.largest_index_error) {
    out += "Largest index error: " + FormatFixed(*run.largest_index_error, 1) + "\" (" +
           run.largest_index_error_at + ")\n";
  } else {
    out += "Largest index error: none, no point was read in both faces\n";
  }
  out += "Names changed: " + std::to_string(text.names_changed);
  if (text.names_changed > 0) {
    out += " (" + std::to_string(text.unmappable) +
           " characters the code page lacks written as "
           "\"?\", " +
           std::to_string(text.commas) + " commas written as \";\")";
  }
  out += "\n";
  for (const std::string& note : run.notes) out += note + "\n";
  if (!conversion.units_read.empty()) {
    out += "Units in the file: " + conversion.units_read + "\n";
  }
  if (conversion.units == Units::kMetric) {
    out += "Choose metric units when you adjust this file.\n";
  } else if (conversion.us_survey_feet) {
    out += "Choose English units when you adjust this file (its lengths are US survey feet).\n";
  } else {
    out += "Choose English units when you adjust this file.\n";
  }
  return out;
}

std::optional<SourceFormat> RecognisedFormat(std::string_view bytes) {
  for (const FormatReader& reader : kReaders) {
    if (reader.looks_like(bytes)) return reader.format;
  }
  if (LooksLikeXml(bytes)) return SourceFormat::kRecognise;
  return std::nullopt;
}

std::string DefaultFieldFilePath(const std::string& input) {
  return BuildPath(ParentFolderName(input), BaseName(input) + ".txt");
}

}  // namespace quarrow
