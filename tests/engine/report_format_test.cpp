#include "engine/report_format.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>
#include <vector>

namespace quarrow {
namespace {

TEST(PadText, CutsOrFillsToWidth) {
  struct Row {
    std::string text;
    int width;
    std::string expected;
  } rows[] = {
      {"ABCDEFGHI", 6, "ABCDEF"},
      {"ABCDEFGHI", 80, "ABCDEFGHI" + std::string(71, ' ')},
      {"", 3, "   "},
      {"AB", 2, "AB"},
      {"AB", 0, ""},
      {"\xb0\xf8", 3, "\xb0\xf8 "},  // bytes pass through unchanged
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text + " at " + std::to_string(row.width));
    EXPECT_EQ(PadText(row.text, row.width), row.expected);
  }
}

TEST(FormatReading, RightJustifiesAndSignsOnRequest) {
  struct Row {
    double value;
    int width;
    std::string expected;
  } rows[] = {
      {1.23456, 9, "    1.235"},
      {-0.5, -9, "   -0.500"},
      {0.5, -9, "   +0.500"},
      {0, -8, "   0.000"},
      {-0.0, -8, "   0.000"},
      {-0.0, 10, "     0.000"},
      {123456789.123, 10, "123456789."},  // too wide: the last characters go
      {-0.0001, -9, "   -0.000"},         // the sign survives rounding
      {-0.0001, 9, "   -0.000"},
      {0.0004, -8, "  +0.000"},
      {-12345.6789, 10, "-12345.679"},
      {1e300, 10, "1000000000"},
      {-2.5, -100, std::string(94, ' ') + "-2.500"},  // wider than any report column
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.value) + " at " + std::to_string(row.width));
    EXPECT_EQ(FormatReading(row.value, row.width), row.expected);
  }
}

TEST(FormatReading, UsesTheLocaleDecimalSeparator) {
  // Widths count bytes: a two-byte separator takes two columns.
  EXPECT_EQ(FormatReading(-1.5, -9, "\xd9\xab"),
            "  -1\xd9\xab"
            "500");
  EXPECT_EQ(FormatReading(123456.5, 9, "\xd9\xab"),
            "123456\xd9\xab"
            "5");
}

TEST(FormatFixed3, OddValuesNeverCrash) {
  EXPECT_EQ(FormatFixed3(std::numeric_limits<double>::infinity(), "."), "inf");
  EXPECT_EQ(FormatFixed3(std::numeric_limits<double>::quiet_NaN(), "."), "nan");
  EXPECT_EQ(FormatFixed3(-1.7976931348623157e308, ".").size(), 314u);
}

// Report numbers take a short cut; it must round exactly as fixed-point
// printing of the binary value does, ties to even included.
TEST(FormatFixed3, RoundsAsFixedPointPrinting) {
  const auto reference = [](double value) {
    char digits[400];
    const auto end =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 3).ptr;
    return value == 0 ? std::string("0.000") : std::string(digits, end);
  };
  // clang-format off
  std::vector<double> values = {
      0.0625, 0.1875, 2.0625, -2.0625, 0.0005, -0.0005, 0.0015, 1.0005, 2.675, -2.675, 1e-320,
      -1e-320, 0.4995, 999999999999.9995, 999999999999999.9, 1e15, 1e15 - 1, 4503599627370495.5,
      9007199254740993.0, std::ldexp(1.0, -1074), std::ldexp(1.0, -11), std::ldexp(3.0, -12),
      std::ldexp(5.0, -13)};
  // clang-format on
  std::mt19937_64 random(20261207);
  for (int i = 0; i < 100000; ++i) {
    // Every binary exponent from tiny to beyond the short cut, and the
    // readings a report really holds.
    const double unit = std::ldexp(1.0, static_cast<int>(random() % 80) - 40);
    const double value = static_cast<double>(random() >> 11) * 0x1.0p-53 * unit;
    values.push_back(random() % 2 ? value : -value);
    values.push_back(static_cast<double>(static_cast<std::int64_t>(random() % 2000000) - 1000000) /
                     8000);  // exact ties in eighths of a thousandth
  }
  for (const double value : values) {
    SCOPED_TRACE(reference(value));
    EXPECT_EQ(FormatFixed3(value, "."), reference(value));
  }
}

TEST(FormatReportDate, MonthDayYearWithTheLocaleSeparator) {
  EXPECT_EQ(FormatReportDate({2026, 12, 6}), "12/06/2026");
  EXPECT_EQ(FormatReportDate({987, 1, 31}, "."), "01.31.0987");
}

TEST(FrameSummaryLine, ClosesTheBoxInColumnEighty) {
  // Shorter lines are padded to the bar; longer ones past column 80 are
  // covered by the limit tests.
  const std::string frame_fill = std::string(79, ' ') + "|";
  EXPECT_EQ(FrameSummaryLine("", frame_fill), frame_fill);
  EXPECT_EQ(FrameSummaryLine(std::string(79, 'x'), frame_fill), std::string(79, 'x') + "|");
  // Eighty: written unchanged, without a bar.
  EXPECT_EQ(FrameSummaryLine(std::string(80, 'x'), frame_fill), std::string(80, 'x'));
}

}  // namespace
}  // namespace quarrow
