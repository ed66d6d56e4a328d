#include "engine/field_file_check.h"

#include <charconv>
#include <cmath>

#include "engine/code_pages.h"
#include "engine/data_fields.h"
#include "engine/field_file.h"
#include "engine/numeric_prefix.h"

namespace quarrow {

namespace {

// A reading as the reader takes it, in its shortest form: 5, 51.88.
std::string Number(double value) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  return std::string(text, end);
}

// True when all of `text` is one number as the reader takes it.
bool IsWholeNumber(std::string_view text) { return NumericPrefixRest(text).empty(); }

// The field before the next comma of `rest`, which moves past it.
std::string_view NextField(std::string_view& rest) {
  const std::size_t comma = rest.find(',');
  const std::string_view field = rest.substr(0, comma);
  rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
  return field;
}

// Setup identifiers that are whole numbers, for the test that they climb.
std::optional<std::int64_t> SetupNumber(std::string_view id) {
  id = TrimBlanksAndTabs(id);
  std::int64_t number = 0;
  const auto [end, error] = std::from_chars(id.data(), id.data() + id.size(), number);
  if (id.empty() || error != std::errc() || end != id.data() + id.size()) return std::nullopt;
  return number;
}

}  // namespace

std::string FieldFileChecker::Shown(std::string_view bytes) const {
  if (IsValidUtf8(bytes)) return std::string(bytes);
  const CodePage page = degree_mark_ == '\xf8' ? CodePage::kDos437 : CodePage::kWindows1252;
  std::string text;
  for (const char c : bytes) AppendUtf8(text, DecodeByte(static_cast<unsigned char>(c), page));
  return text;
}

void FieldFileChecker::Warn(std::int64_t line, std::string text) {
  ++warning_count_;
  if (warnings_.size() < kKeptWarnings) warnings_.push_back({line, std::move(text)});
}

void FieldFileChecker::CheckNumber(std::int64_t line, std::string_view what, std::string_view text,
                                   bool positive) {
  const std::string_view trimmed = TrimBlanksAndTabs(text);
  if (trimmed.empty()) {
    Warn(line, "the " + std::string(what) + " is empty and is read as 0");
    return;
  }
  const double value = NumericPrefix(text);
  if (!IsWholeNumber(text)) {
    Warn(line, "the " + std::string(what) + " \"" + Shown(trimmed) + "\" is read as " +
                   Number(value) + ": the text goes on past the number");
    return;
  }
  if (positive && !(value > 0)) {
    Warn(line, "the " + std::string(what) + " " + Shown(trimmed) + " is not positive");
  }
}

void FieldFileChecker::CheckZenith(std::int64_t line, std::string_view text, char degree_mark) {
  const std::string_view trimmed = TrimBlanksAndTabs(text);
  // Only a warning needs the zenith as text; most lines have none.
  const auto shown = [&] { return "the zenith \"" + Shown(trimmed) + "\""; };
  if (trimmed.empty()) {
    Warn(line, "the zenith is empty and is read as 0 degrees, straight up");
    return;
  }
  const std::size_t mark = text.find(degree_mark);
  if (mark == std::string_view::npos) {
    Warn(line, shown() + " has no degree sign: it is read as seconds only");
    return;
  }
  const std::string_view degrees = text.substr(0, mark);
  const std::string_view rest = text.substr(mark + 1);
  const std::size_t apostrophe = rest.find('\'');
  if (apostrophe == std::string_view::npos) {
    Warn(line,
         shown() + " has no minutes mark ('): what follows the degree sign is read as seconds");
    return;
  }
  const std::string_view minutes = rest.substr(0, apostrophe);
  const std::string_view seconds = rest.substr(apostrophe + 1);
  // A seconds mark after the seconds is how many people write an angle.
  std::string_view after_seconds = NumericPrefixRest(seconds);
  if (!after_seconds.empty() && after_seconds.front() == '"') after_seconds.remove_prefix(1);
  if (!IsWholeNumber(degrees) || !IsWholeNumber(minutes) ||
      !TrimBlanksAndTabs(after_seconds).empty()) {
    Warn(line, shown() + " is not degrees, minutes and seconds: the text goes on past a number");
    return;
  }
  const double d = NumericPrefix(degrees);
  const double m = NumericPrefix(minutes);
  const double s = NumericPrefix(seconds);
  if (m < 0 || m >= 60 || s < 0 || s >= 60) {
    Warn(line, shown() + " has " +
                   (m < 0 || m >= 60 ? Number(m) + " minutes" : Number(s) + " seconds") +
                   ": minutes and seconds run from 0 up to 60");
    return;
  }
  const double zenith = d + m / 60 + s / 3600;
  if (!(zenith >= 0 && zenith < 360)) {
    Warn(line, shown() + " is not between 0 and 360 degrees");
  } else if (zenith > 180) {
    Warn(line, shown() +
                   " is a face-II reading (over 180 degrees): it is used as read, so its "
                   "horizontal distance comes out negative");
  }
}

std::string_view FieldFileChecker::CheckObservation(const RunState& rs) {
  degree_mark_ = rs.DegreeMark;
  const std::int64_t line = rs.InFile.LineNumber();
  last_line_ = line;
  ++observations_;
  std::string_view rest = rs.LineBuffer;
  const std::string_view name = TrimBlanksAndTabs(NextField(rest));
  CheckZenith(line, NextField(rest), rs.DegreeMark);
  CheckNumber(line, "slope distance", NextField(rest), true);
  CheckNumber(line, "rod height", NextField(rest), false);
  return name;
}

void FieldFileChecker::Backsight(const RunState& rs) {
  const std::int64_t line = rs.InFile.LineNumber();
  const std::string_view name = CheckObservation(rs);
  if (first_backsight_) {
    first_backsight_ = false;
    first_backsight_name_ = name;
    first_backsight_line_ = line;
    if (name.empty()) {
      Warn(line, "the first backsight, on the beginning bench mark, has no name");
    }
  } else {
    if (name != last_foresight_name_) {
      Warn(line, "the backsight names " + (name.empty() ? std::string("no point") : Shown(name)) +
                     ", but the foresight before it was " +
                     (last_foresight_name_.empty() ? "unnamed" : Shown(last_foresight_name_)));
    }
    const std::optional<std::int64_t> previous = SetupNumber(previous_setup_);
    const std::optional<std::int64_t> current = SetupNumber(rs.SetupId);
    if (previous && current && *current < *previous) {
      Warn(line, "setup " + Shown(TrimBlanksAndTabs(rs.SetupId)) + " comes after setup " +
                     Shown(TrimBlanksAndTabs(previous_setup_)) + ": the setup numbers go back");
    }
  }
  previous_setup_ = rs.SetupId;
}

void FieldFileChecker::Foresight(const RunState& rs) {
  last_foresight_name_.assign(CheckObservation(rs));
}

void FieldFileChecker::UnreadBacksight(const RunState& rs) {
  Warn(rs.InFile.LineNumber(), "setup " + Shown(TrimBlanksAndTabs(rs.SetupId)) +
                                   " has a backsight and no foresight: the line is not read");
}

void FieldFileChecker::Finish() {
  if (!first_backsight_ && last_foresight_name_.empty()) {
    Warn(last_line_, "the last foresight, on the ending bench mark, has no name");
  }
}

}  // namespace quarrow
