#include "network/report_table.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace quarrow {

namespace {

void Place(std::string& line, std::string_view text, std::size_t width, bool right) {
  if (text.size() >= width) {
    line += text;
  } else if (right) {
    line.append(width - text.size(), ' ');
    line += text;
  } else {
    line += text;
    line.append(width - text.size(), ' ');
  }
}

}  // namespace

std::string ReportTable::Text() const {
  std::vector<std::size_t> widths;
  for (std::size_t c = 0; c < columns_.size(); ++c) {
    std::size_t width = columns_[c].width;
    for (const auto& row : rows_) {
      if (c < row.size() && !columns_[c].right) width = std::max(width, row[c].size());
    }
    widths.push_back(width);
  }
  const auto line = [&](const std::vector<std::string>& cells) {
    std::string text;
    for (std::size_t c = 0; c < cells.size() && c < columns_.size(); ++c) {
      if (c > 0) text.append(columns_[c].gap, ' ');
      // The last cell of a line is not filled out to its width.
      const bool last = c + 1 == cells.size() || c + 1 == columns_.size();
      Place(text, cells[c], last && !columns_[c].right ? 0 : widths[c], columns_[c].right);
    }
    return text + "\r\n";
  };
  std::vector<std::string> titles;
  std::vector<std::string> rules;
  for (std::size_t c = 0; c < columns_.size(); ++c) {
    titles.push_back(columns_[c].title);
    const std::size_t dashes = columns_[c].rule == kFullRule ? widths[c] : columns_[c].rule;
    std::string rule(dashes, '-');
    // A left-aligned rule shorter than its column keeps the column's width.
    if (!columns_[c].right && c + 1 < columns_.size()) rule.resize(widths[c], ' ');
    rules.push_back(rule);
  }
  std::string text = line(titles) + line(rules);
  for (const auto& row : rows_) text += line(row);
  return text;
}

std::string DecimalText(double value, int decimals, std::string_view separator, bool sign) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, sign ? "%+.*f" : "%.*f", decimals, value);
  std::string text(buffer);
  if (sign && value == 0) text.erase(0, 1);
  const std::size_t point = text.find('.');
  if (point != std::string::npos) text.replace(point, 1, separator);
  return text;
}

}  // namespace quarrow
