#pragma once

// The mistakes a field file can hold that its reader passes over without a
// word: the reader takes the number at the front of a field and ignores the
// rest, reads an empty field as 0, and takes any zenith as written. The
// closure pass tells a checker every observation line as it groups it, so
// the file is read once and each warning names its line.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/run_state.h"

namespace quarrow {

struct FieldFileWarning {
  std::int64_t line = 0;  // from 1
  std::string text;       // UTF-8, one line, without "warning:"
};

class FieldFileChecker {
 public:
  // A warning of each kind would be told once a line; a file of a million
  // bad lines keeps only the first warnings and counts the rest.
  static constexpr std::size_t kKeptWarnings = 1000;

  // The observation line in LineBuffer, its setup identifier already taken
  // into SetupId, starts a setup. Reads: InFile's line number, SetupId,
  // LineBuffer, DegreeMark.
  void Backsight(const RunState& rs);
  // The observation line in LineBuffer, its setup identifier already taken
  // off, is a foresight of the setup.
  void Foresight(const RunState& rs);
  // The line in LineBuffer started a setup but nothing follows it: the
  // reader leaves it unread.
  void UnreadBacksight(const RunState& rs);
  // The run is over: checks what only the whole run shows.
  void Finish();

  const std::vector<FieldFileWarning>& warnings() const { return warnings_; }
  std::int64_t warning_count() const { return warning_count_; }
  // Names as written, trimmed of blanks and tabs: the first backsight's
  // (the beginning bench mark's, "" when it has none) and the last
  // foresight's (the ending bench mark's).
  const std::string& first_backsight_name() const { return first_backsight_name_; }
  const std::string& last_foresight_name() const { return last_foresight_name_; }
  // Their lines.
  std::int64_t first_backsight_line() const { return first_backsight_line_; }
  std::int64_t last_foresight_line() const { return last_line_; }
  std::int64_t observations() const { return observations_; }

 private:
  void Warn(std::int64_t line, std::string text);
  // Checks the point name, zenith, slope distance and rod height of a line
  // and returns its point name, trimmed.
  std::string_view CheckObservation(const RunState& rs);  // the point's name, in rs.LineBuffer
  void CheckZenith(std::int64_t line, std::string_view text, char degree_mark);
  void CheckNumber(std::int64_t line, std::string_view what, std::string_view text, bool positive);
  // Bytes of the file as UTF-8, in the code page of its degree sign.
  std::string Shown(std::string_view bytes) const;

  std::vector<FieldFileWarning> warnings_;
  std::int64_t warning_count_ = 0;
  char degree_mark_ = '\xb0';
  std::int64_t observations_ = 0;
  std::int64_t last_line_ = 0;
  bool first_backsight_ = true;
  std::string first_backsight_name_;
  std::int64_t first_backsight_line_ = 0;
  std::string last_foresight_name_;
  std::string previous_setup_;
};

}  // namespace quarrow
