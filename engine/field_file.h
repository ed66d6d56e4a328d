#pragma once

// Reading the comma-delimited level file. Observation lines are the lines
// that hold DegreeMark; every other line (headers, blank lines, footers) is
// passed over wherever the reader looks for the next observation.

#include <string>
#include <string_view>

#include "engine/platform.h"
#include "engine/run_state.h"

namespace quarrow {

// Opens InputPath and takes its first observation line into LineBuffer.
// FileState becomes 2 when the file cannot be opened or read, 0 when it holds
// no observation line with another observation line after it, else 1. The
// file stays open in InFile; the caller closes it.
// Reads: InputPath, DegreeMark. Writes: InFile, FileState, LineBuffer.
void OpenFieldFile(RunState& rs, Platform& platform);

// Takes the next observation line into LineBuffer. Returns false, with
// LineBuffer empty, when no observation line is left: lines without the mark
// at the end of the file are never taken for observations.
// Reads/writes: InFile, LineBuffer.
bool SkipToObservation(RunState& rs);

// True when no observation line is left after the current one.
bool AtEndOfObservations(const RunState& rs);

// Removes and returns the first comma-separated field of LineBuffer. A line
// without a comma comes back whole; later calls return "". Fields are not
// trimmed and no quoting is recognised.
// Reads/writes: LineBuffer.
std::string NextField(RunState& rs);

// Takes fields from the front of a line as NextField does, but hands them
// out as views into the line, with nothing copied; Finish then removes the
// fields taken, leaving the line as that many NextField calls would. The
// views stay valid until Finish.
class FieldReader {
 public:
  explicit FieldReader(std::string& line) : line_(line), rest_(line) {}
  std::string_view Next() {
    const std::size_t comma = rest_.find(',');
    const std::string_view field = rest_.substr(0, comma);
    rest_ = comma == std::string_view::npos ? std::string_view() : rest_.substr(comma + 1);
    return field;
  }
  void Finish() { line_.erase(0, line_.size() - rest_.size()); }

 private:
  std::string& line_;
  std::string_view rest_;
};

// Converts a zenith angle written as degrees, DegreeMark, minutes, "'",
// seconds into the vertical angle above the horizon, in radians. Missing
// parts read as 0; an angle without "'" takes what follows the mark as
// seconds. Reads: DegreeMark.
double ParseZenithAngle(const RunState& rs, std::string_view angle_text);

}  // namespace quarrow
