#pragma once

// The report as it is written: items go out exactly as given, with nothing
// between them, and every line end is an explicit CR LF. Output is buffered
// and handed to the ReportSink in large pieces. The stream only writes: the
// sink belongs to whoever runs the report pass, who moves the report into
// place once it is complete (see ReportSink::Commit).

#include <string>
#include <string_view>

#include "engine/platform.h"

namespace quarrow {

class ReportStream {
 public:
  // Starts writing into `sink`, which must outlive the stream's use of it.
  void Open(ReportSink& sink);
  // Stops writing an unfinished report; what was buffered is dropped.
  void Abandon();
  // Hands what is buffered to the sink and lets go of it. Returns false,
  // with ErrorText() saying why, when any write failed.
  bool Finish();
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

  ReportSink* sink_ = nullptr;
  std::string buffer_;
  bool failed_ = false;
  std::string error_;
};

}  // namespace quarrow
