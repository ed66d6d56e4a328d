#pragma once

// quarrow-convert: total-station files (Trimble JobXML, LandXML, Leica GSI,
// Carlson RW5, Sokkia SDR33, Topcon GTS-7) turned into the comma-delimited
// field file the window and quarrow-adjust read, and digital levels' files
// (Leica GSI, Trimble DiNi) into the lines file that quarrow-network reads.

#include <QStringList>
#include <ostream>
#include <string>

#include "convert/converter.h"
#include "engine/platform.h"

namespace quarrow {

// Exit statuses of quarrow-convert, as quarrow-adjust's.
enum ConvertStatus : int {
  kConvertWritten = 0,     // field file written, summary on standard output
  kConvertInputError = 2,  // usage or input error; nothing written
};

// INPUT's folder and base name with ".csv": the lines file written from a
// digital level's file when no --output is given.
std::string DefaultLinesFilePath(const std::string& input);

// Runs the tool on `arguments` (the program name first) through `platform`.
// The summary, --help and --version go to `output`; messages to `errors`.
int RunConvertTool(const QStringList& arguments, Platform& platform, std::ostream& output,
                   std::ostream& errors);

}  // namespace quarrow
