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

}  // namespace quarrow
