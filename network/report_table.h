#pragma once

// The fixed-width tables of the network report: columns of a width each,
// text left-aligned and numbers right-aligned, under a heading and a rule of
// dashes, separated by the blanks each column asks for. Lines end CR LF.

#include <string>
#include <string_view>
#include <vector>

namespace quarrow {

// The rule of a column as wide as the column.
inline constexpr std::size_t kFullRule = static_cast<std::size_t>(-1);

struct ReportColumn {
  std::string title;
  std::size_t width = 0;         // widened to the longest cell when a text column's is longer
  bool right = false;            // numbers: right-aligned, never cut
  std::size_t rule = kFullRule;  // dashes under the title, aligned as it is (0: none)
  std::size_t gap = 3;           // blanks before the column (none before the first)
};

class ReportTable {
 public:
  explicit ReportTable(std::vector<ReportColumn> columns) : columns_(std::move(columns)) {}
  // Cells in column order; a row may be shorter than the columns (the rest
  // are left out, trailing blanks and all).
  void Row(std::vector<std::string> cells) { rows_.push_back(std::move(cells)); }
  // The heading, the rule and the rows, each line ended by CR LF.
  std::string Text() const;

 private:
  std::vector<ReportColumn> columns_;
  std::vector<std::vector<std::string>> rows_;
};

// `value` with `decimals` digits after the separator, rounded as printf
// rounds; a sign when `sign` ("+0.004", "-0.010"; no sign for exact zero).
std::string DecimalText(double value, int decimals, std::string_view separator, bool sign = false);

}  // namespace quarrow
