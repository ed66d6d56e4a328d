#pragma once

// The report as it is written: items go out exactly as given, with nothing
// between them, and every line end is an explicit CR LF. Output is buffered
// and handed to the ReportSink in large pieces; the sink only makes the
// report visible once it is complete (see ReportSink::Commit).

#include <memory>
#include <string>
#include <string_view>

#include "engine/platform.h"

namespace quarrow {

class ReportStream {
 public:
  void Open(std::unique_ptr<ReportSink> sink);
  // Drops an unfinished report: the sink discards whatever it wrote.
  void Abandon();
  // Writes what is buffered and moves the report into place. Returns false,
  // with ErrorText() saying why, when any write or the move failed; the
  // unfinished report is then discarded and any earlier one left as it was.
  bool Close();
  bool IsOpen() const { return sink_ != nullptr; }
  std::string ErrorText() const;

  // Ends the open line; on an empty line this writes an empty line.
  void EndLine() {
    buffer_ += "\r\n";
    FlushIfFull();
  }
  // The report's unwritten end, for building a line in place: append the
  // line's text to it, then call EndLine. Spares a string per report line.
  std::string& LineInPlace() { return buffer_; }
  void WriteLine(std::string_view text);
  void WriteIndentedLine(std::string_view text);  // two blanks, the text, line end
  void Write(std::string_view text);

 private:
  void FlushIfFull();
  bool Flush();

  std::unique_ptr<ReportSink> sink_;
  std::string buffer_;
  bool failed_ = false;
  std::string error_;
};

}  // namespace quarrow
