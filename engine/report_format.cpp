#include "report_format.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace quarrow {

std::string FormatFixed3(double value, std::string_view decimal_separator) {
  if (value == 0.0) value = 0.0;  // Deliberate: negative zero prints as "0.000"
  // Large enough for the widest double in fixed notation (309 digits).
  char digits[400];
  const auto result =
      std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 3);
  std::string text(digits, result.ptr);
  if (decimal_separator != ".") {
    const std::size_t point = text.find('.');
    if (point != std::string::npos) text.replace(point, 1, decimal_separator);
  }
  return text;
}

std::string PadText(std::string_view text, int width) {
  if (width < 0) width = 0;
  const std::size_t w = static_cast<std::size_t>(width);
  if (w < text.size()) return std::string(text.substr(0, w));
  std::string padded(text);
  padded.append(w - text.size(), ' ');
  return padded;
}

std::string FormatReading(double value, int width, std::string_view decimal_separator) {
  std::string text;
  std::size_t w;
  if (width < 0) {
    w = static_cast<std::size_t>(-width);
    text = FormatFixed3(std::fabs(value), decimal_separator);
    if (value > 0) {
      text.insert(text.begin(), '+');
    } else if (value < 0) {
      text.insert(text.begin(), '-');
    }
  } else {
    w = static_cast<std::size_t>(width);
    text = FormatFixed3(value, decimal_separator);
  }
  if (w < text.size()) {
    text.resize(w);
    return text;
  }
  return std::string(w - text.size(), ' ') + text;
}

std::string FormatReportDate(const CivilDate& date, std::string_view date_separator) {
  char part[16];
  std::string text;
  std::snprintf(part, sizeof part, "%02d", date.month);
  text += part;
  text += date_separator;
  std::snprintf(part, sizeof part, "%02d", date.day);
  text += part;
  text += date_separator;
  std::snprintf(part, sizeof part, "%04d", date.year);
  text += part;
  return text;
}

std::string FrameSummaryLine(std::string_view text, std::string_view frame_fill) {
  std::string line(text);
  if (text.size() < frame_fill.size()) line += frame_fill.substr(text.size());
  return line;
}

}  // namespace quarrow
