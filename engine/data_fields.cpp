#include "engine/data_fields.h"

#include <charconv>
#include <cmath>

namespace quarrow {

std::string_view TrimBlanksAndTabs(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

std::optional<double> ReadDataNumber(std::string_view text) {
  text = TrimBlanksAndTabs(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  // from_chars reads "." whatever the locale; it reads "inf" and "nan" too,
  // which are no measurements, so the value must also be finite.
  double value = 0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

void ForEachDataLine(std::string_view bytes,
                     const std::function<bool(int, const std::vector<std::string_view>&)>& line) {
  int line_number = 0;
  std::size_t position = 0;
  // A byte-order mark before the first field is the editor's, not the data's.
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") position = 3;
  std::vector<std::string_view> fields;
  while (position < bytes.size()) {
    std::size_t end = bytes.find('\n', position);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view text = bytes.substr(position, end - position);
    position = end + 1;
    ++line_number;
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    if (TrimBlanksAndTabs(text).empty() || TrimBlanksAndTabs(text).front() == '#') continue;
    fields.clear();
    for (std::size_t start = 0;;) {
      const std::size_t comma = text.find(',', start);
      fields.push_back(
          text.substr(start, comma == std::string_view::npos ? text.npos : comma - start));
      if (comma == std::string_view::npos) break;
      start = comma + 1;
    }
    if (!line(line_number, fields)) return;
  }
}

}  // namespace quarrow
