#pragma once

// A streaming line reader over a field file, with one observation line of
// look-ahead. Only the current chunk, the current line and the line ahead
// are ever held, so memory stays flat however long the file is.
//
// A line ends at CR LF, at a lone CR or at a lone LF; the end is not part of
// the line. Every byte read also feeds a running checksum, so that the two
// passes over a file can tell whether it changed between them.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/platform.h"

namespace quarrow {

class FieldFileStream {
 public:
  FieldFileStream();

  void Open(std::unique_ptr<ByteSource> source);
  void Close();
  bool IsOpen() const { return source_ != nullptr; }

  // Reads lines until one holds `mark` and keeps it as the line ahead.
  // Non-observation lines (headers, blank lines, footers) are passed over.
  void FetchObservation(char mark);
  // Moves the line ahead into `line` and fetches the next one. Returns false,
  // with `line` emptied, when no observation line was ahead.
  bool TakeObservation(std::string& line, char mark);
  // True while an observation line is waiting ahead.
  bool HasObservationAhead() const { return has_ahead_; }
  // The line number, from 1, of the line TakeObservation took last.
  std::int64_t LineNumber() const { return line_number_; }

  // Reads whatever is left so that the checksum covers the whole file.
  void DrainToEnd();

  bool ReadFailed() const { return read_failed_; }
  std::uint64_t BytesRead() const { return bytes_read_; }
  std::uint64_t Checksum() const { return checksum_; }

 private:
  bool ReadLine(std::string& line);
  bool ReadRawLine(std::string& line);
  bool Refill();
  void Absorb(const char* bytes, std::size_t count);

  std::unique_ptr<ByteSource> source_;
  std::vector<char> chunk_;
  std::size_t chunk_pos_ = 0;
  std::size_t chunk_len_ = 0;
  bool at_eof_ = false;
  bool read_failed_ = false;
  bool skip_lf_ = false;  // the last line ended with a CR that may pair with an LF
  bool first_line_ = true;
  std::string ahead_;
  bool has_ahead_ = false;
  std::int64_t lines_read_ = 0;
  std::int64_t ahead_line_ = 0;
  std::int64_t line_number_ = 0;
  std::uint64_t bytes_read_ = 0;
  std::uint64_t checksum_ = 0;
};

}  // namespace quarrow
