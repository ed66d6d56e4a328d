#include "convert/converter.h"

#include <cmath>

#include "convert/gsi_reader.h"
#include "convert/jobxml_reader.h"
#include "convert/run_shape.h"
#include "engine/file_paths.h"

namespace quarrow {

namespace {

// The number of the first line that is not blank, as the GSI reader counts
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
  if (LooksLikeXml(bytes)) return SourceFormat::kJobXml;
  if (LooksLikeGsi(bytes)) return SourceFormat::kGsi;
  const int line = FirstTextLine(bytes);
  throw ConvertError(
      (line == 0 ? std::string("the file is empty") : "line " + std::to_string(line)) +
      ": this is neither JobXML (an XML document whose root element is JOBFile) nor GSI (lines "
      "of GSI-8 or GSI-16 words, a GSI-16 line starting with \"*\").");
}

}  // namespace

Conversion Convert(std::string_view bytes, const ConvertOptions& options) {
  const SourceFormat format =
      options.from == SourceFormat::kRecognise ? Recognise(bytes) : options.from;
  const FieldBook book = format == SourceFormat::kJobXml ? ReadJobXml(bytes) : ReadGsi(bytes);

  Conversion conversion;
  conversion.kind = book.kind;
  conversion.feet =
      options.units == UnitChoice::kFromFile ? book.feet : options.units == UnitChoice::kFeet;
  conversion.angle_only = book.angle_only;
  conversion.means = book.means;
  RefuseWhatIsNotALevelRun(book);
  conversion.run = ReduceFieldBook(book);
  FieldFileOptions write;
  write.feet = conversion.feet;
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
  out += conversion.feet ? "Choose English units when you adjust this file.\n"
                         : "Choose metric units when you adjust this file.\n";
  return out;
}

std::string DefaultFieldFilePath(const std::string& input) {
  return BuildPath(ParentFolderName(input), BaseName(input) + ".txt");
}

}  // namespace quarrow
