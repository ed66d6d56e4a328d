// Levelled lines recorded as the instruments record them, in every order,
// unit and habit, read back to the differences and lengths the readings give.

#include <gtest/gtest.h>

#include <cmath>

#include "convert/field_book.h"
#include "levelling/levelled_file.h"
#include "tests/levelling/level_writers.h"

namespace quarrow {
namespace {

using testing_support::DiniStyle;
using testing_support::GsiLevelStyle;
using testing_support::LevelSetup;
using testing_support::SurveyedLine;

double Rounded(double value, int decimals) {
  const double scale = std::pow(10.0, decimals);
  return std::round(value * scale) / scale;
}

// A line from `points.front()` to `points.back()` with a setup between each
// two, its readings varied setup by setup so that no two rises are alike,
// and held to the decimals the file will hold.
SurveyedLine Line(const std::string& order, const std::vector<std::string>& points,
                  double scale = 1, int reading_decimals = 4, int distance_decimals = 3) {
  SurveyedLine line;
  line.order = order;
  for (std::size_t i = 0; i + 1 < points.size(); ++i) {
    LevelSetup setup;
    setup.back = points[i];
    setup.fore = points[i + 1];
    const double n = static_cast<double>(i);
    setup.back_reading = Rounded((1.2 + 0.137 * n) * scale, reading_decimals);
    setup.fore_reading =
        Rounded((0.9 + 0.2213 * static_cast<double>(i % 3)) * scale, reading_decimals);
    setup.back_distance = Rounded((25.1 + 1.7 * n) * scale, distance_decimals);
    setup.fore_distance = Rounded((24.6 + 1.3 * n) * scale, distance_decimals);
    line.setups.push_back(setup);
  }
  return line;
}

void ExpectLines(const LevelledFile& file, const std::vector<SurveyedLine>& lines,
                 double tolerance) {
  ASSERT_EQ(file.lines.size(), lines.size());
  std::int64_t setups = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    SCOPED_TRACE("line " + std::to_string(i + 1));
    const LevelledLine& read = file.lines[i];
    EXPECT_EQ(read.from, lines[i].setups.front().back);
    EXPECT_EQ(read.to, lines[i].setups.back().fore);
    EXPECT_NEAR(read.difference, testing_support::DifferenceOf(lines[i]), tolerance);
    EXPECT_NEAR(read.length, testing_support::LengthOf(lines[i]), tolerance);
    EXPECT_EQ(read.setups, static_cast<std::int64_t>(lines[i].setups.size()));
    setups += read.setups;
  }
  EXPECT_EQ(file.setups, setups);
}

struct GsiCase {
  const char* name;
  std::vector<SurveyedLine> lines;
  GsiLevelStyle style;
  Units units;
  int decimals;
  std::int64_t readings;
  std::int64_t intermediate_sights;
  std::int64_t other_readings;
};

TEST(ReadGsiLevelFile, ReadsBackEveryOrderUnitAndHabit) {
  SurveyedLine with_sight = Line("BFFB", {"BM01", "1", "2", "BM02"});
  with_sight.setups[1].intermediate_after_backsight = true;
  const GsiCase cases[] = {
      {"BF, GSI-8, 0.1 mm",
       {Line("BF", {"BM01", "TP1", "TP2", "TP3", "BM02"})},
       GsiLevelStyle{},
       Units::kMetric,
       5,
       8,
       0,
       0},
      {"BFFB, GSI-16, 0.01 mm readings and 0.1 mm distances, an intermediate sight",
       {with_sight},
       GsiLevelStyle{.gsi16 = true, .reading_unit = '8', .distance_unit = '6'},
       Units::kMetric,
       6,
       12,
       1,
       0},
      {"aBF in feet, 0.0001 ft readings, 0.001 ft distances",
       {Line("aBF", {"BM N-4", "TP1", "TP2", "TP3", "TP4", "J-2"}, 3.28)},
       GsiLevelStyle{.reading_unit = '7', .distance_unit = '1'},
       Units::kFeet,
       5,
       10,
       0,
       0},
      {"aBFFB, GSI-16, in feet",
       {Line("aBFFB", {"BM7", "CP1", "CP2", "CP3", "BM8"}, 3.28)},
       GsiLevelStyle{.gsi16 = true, .reading_unit = '7', .distance_unit = '7'},
       Units::kFeet,
       5,
       16,
       0,
       0},
      {"two lines, the second from the first's closing mark; keyed codes and measure-only readings",
       {Line("BF", {"BM01", "TP1", "BM02"}), Line("BFFB", {"BM02", "TP1", "TP2", "BM03"})},
       GsiLevelStyle{.keyed_codes = true, .measure_only = true},
       Units::kMetric,
       5,
       16,
       0,
       2},
      {"no code, start or result blocks, 1 mm: BF told from the points",
       {Line("BF", {"BM01", "TP1", "TP2", "BM02"}, 1, 3)},
       GsiLevelStyle{.reading_unit = '0',
                     .distance_unit = '0',
                     .order_blocks = false,
                     .start_blocks = false,
                     .result_blocks = false},
       Units::kMetric,
       4,
       6,
       0,
       0},
      {"no code blocks: aBFFB told from the points",
       {Line("aBFFB", {"BM01", "TP1", "TP2", "TP3", "BM02"})},
       GsiLevelStyle{.order_blocks = false},
       Units::kMetric,
       5,
       16,
       0,
       0},
  };
  for (const GsiCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string bytes = testing_support::WriteGsiLevel(c.lines, c.style);
    ASSERT_TRUE(IsDigitalLevelFile(bytes));
    LevelledFile file;
    try {
      file = ReadLevelledFile(bytes);
    } catch (const ConvertError& error) {
      FAIL() << error.what() << "\n" << bytes;
    }
    EXPECT_EQ(file.kind, "GSI");
    EXPECT_EQ(file.units, c.units);
    EXPECT_EQ(file.decimals, c.decimals);
    EXPECT_EQ(file.readings, c.readings);
    EXPECT_EQ(file.intermediate_sights, c.intermediate_sights);
    EXPECT_EQ(file.other_readings, c.other_readings);
    ExpectLines(file, c.lines, 1e-9);
  }
}

struct DiniCase {
  const char* name;
  std::vector<SurveyedLine> lines;
  DiniStyle style;
  Units units;
  const char* unit_name;
  int decimals;
  std::int64_t repeated;
  std::int64_t flagged;
};

TEST(ReadDiniFile, ReadsBackEveryOrderUnitAndHabit) {
  SurveyedLine with_sight = Line("BF", {"BM01", "TP1", "TP2", "BM02"});
  with_sight.setups[0].intermediate_after_backsight = true;
  const DiniCase cases[] = {
      {"BF in metres, an intermediate sight",
       {with_sight},
       DiniStyle{},
       Units::kMetric,
       "metres",
       6,
       0,
       0},
      {"BFFB in feet, 4 and 2 decimals",
       {Line("BFFB", {"BM N-4", "1", "2", "J-3"}, 3.28, 4, 2)},
       DiniStyle{.unit = "ft", .reading_decimals = 4, .distance_decimals = 2},
       Units::kFeet,
       "feet",
       5,
       0,
       0},
      {"aBFFB in US survey feet, no heights or sums",
       {Line("aBFFB", {"A", "B", "C", "D", "E"}, 3.28, 4, 2)},
       DiniStyle{.unit = "usft",
                 .reading_decimals = 4,
                 .distance_decimals = 2,
                 .start_heights = false,
                 .heights = false,
                 .end_sums = false},
       Units::kFeet,
       "US survey feet",
       5,
       0,
       0},
      {"aBF, two lines",
       {Line("aBF", {"BM1", "T1", "T2", "BM2"}), Line("aBF", {"BM2", "T1", "BM3"})},
       DiniStyle{},
       Units::kMetric,
       "metres",
       6,
       0,
       0},
      {"repeated readings and a repeated station, records marked in error",
       {Line("BF", {"BM01", "TP1", "TP2", "BM02"})},
       DiniStyle{.repeated_readings = true, .repeated_station = true, .flagged_records = true},
       Units::kMetric,
       "metres",
       6,
       6,
       4},
  };
  for (const DiniCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string bytes = testing_support::WriteDini(c.lines, c.style);
    ASSERT_TRUE(IsDigitalLevelFile(bytes));
    LevelledFile file;
    try {
      file = ReadLevelledFile(bytes);
    } catch (const ConvertError& error) {
      FAIL() << error.what() << "\n" << bytes;
    }
    EXPECT_EQ(file.kind, "DiNi");
    EXPECT_EQ(file.units, c.units);
    EXPECT_EQ(file.unit_name, c.unit_name);
    EXPECT_EQ(file.decimals, c.decimals);
    EXPECT_EQ(file.repeated, c.repeated);
    EXPECT_EQ(file.flagged, c.flagged);
    ExpectLines(file, c.lines, 1e-9);
  }
}

// The same line recorded by both instruments gives the same line.
TEST(ReadLevelledFile, BothFormatsAgreeOnOneLine) {
  const std::vector<SurveyedLine> lines = {Line("BFFB", {"BM01", "TP1", "TP2", "TP3", "BM02"})};
  const LevelledFile gsi = ReadLevelledFile(
      testing_support::WriteGsiLevel(lines, {.reading_unit = '8', .distance_unit = '8'}));
  const LevelledFile dini = ReadLevelledFile(testing_support::WriteDini(lines, {}));
  ASSERT_EQ(gsi.lines.size(), 1u);
  ASSERT_EQ(dini.lines.size(), 1u);
  EXPECT_EQ(gsi.lines[0].from, dini.lines[0].from);
  EXPECT_EQ(gsi.lines[0].to, dini.lines[0].to);
  EXPECT_NEAR(gsi.lines[0].difference, dini.lines[0].difference, 1e-9);
  EXPECT_NEAR(gsi.lines[0].length, dini.lines[0].length, 1e-9);
}

}  // namespace
}  // namespace quarrow
