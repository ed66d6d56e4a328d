// The lines file quarrow-network reads, byte for byte, and the summary.

#include "levelling/lines_csv.h"

#include <gtest/gtest.h>

#include "convert/field_book.h"
#include "engine/units_hint.h"

namespace quarrow {
namespace {

LevelledFile TwoLines() {
  LevelledFile file;
  file.kind = "GSI";
  file.units = Units::kFeet;
  file.unit_name = "feet";
  file.decimals = 5;
  file.lines = {{"BM N-4", "J-2", -14.0779649999, 3405.1235, 12, "line 1"},
                {"J-2", "BM 7", 0.000001, 80.25725, 1, "line 60"}};
  file.setups = 13;
  file.readings = 52;
  return file;
}

TEST(WriteLinesCsv, WritesTheLinesFileByteForByte) {
  EXPECT_EQ(WriteLinesCsv(TwoLines(), "level-line.gsi"),
            "# Converted by quarrow-convert from GSI file level-line.gsi; units: feet\r\n"
            "from,to,difference,length,standard_deviation,group\r\n"
            "BM N-4,J-2,-14.07796,3405.12350,,level\r\n"
            "J-2,BM 7,0.00000,80.25725,,level\r\n");
}

TEST(WriteLinesCsv, FirstLineNamesTheUnitsForTheNetwork) {
  for (const Units units : {Units::kFeet, Units::kMetric}) {
    LevelledFile file = TwoLines();
    file.units = units;
    const std::string csv = WriteLinesCsv(file, "caf\xe9\n.dat");
    const std::string first = csv.substr(0, csv.find("\r\n"));
    EXPECT_EQ(first.find('\n'), std::string::npos);
    EXPECT_EQ(first,
              std::string("# Converted by quarrow-convert from GSI file caf??.dat; units: ") +
                  (units == Units::kFeet ? "feet" : "metric"));
    EXPECT_EQ(UnitsNamedBy(first), units);
  }
}

TEST(WriteLinesCsv, RefusesNamesTheFileCannotHold) {
  const struct {
    const char* from;
    const char* to;
    const char* message;
  } cases[] = {
      {"BM,7", "J-2",
       "line 1: the point name \"BM,7\" holds a comma, which would split its row of the lines "
       "file; rename the point in the instrument's file."},
      {"J-2", "BM,7",
       "line 1: the point name \"BM,7\" holds a comma, which would split its row of the lines "
       "file; rename the point in the instrument's file."},
      {"#12", "J-2",
       "line 1: the point name \"#12\" starts with \"#\", which would make its row of the lines "
       "file a comment; rename the point in the instrument's file."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    LevelledFile file = TwoLines();
    file.lines[0].from = c.from;
    file.lines[0].to = c.to;
    try {
      (void)WriteLinesCsv(file, "a.gsi");
      ADD_FAILURE() << "written";
    } catch (const ConvertError& error) {
      EXPECT_EQ(error.what(), std::string(c.message));
    }
  }
  // Further in a row, "#" is only a character of the name.
  LevelledFile file = TwoLines();
  file.lines[0].to = "#12";
  EXPECT_NE(WriteLinesCsv(file, "a.gsi").find("BM N-4,#12,"), std::string::npos);
}

TEST(FixedDecimals, RoundsToTheDecimalsAndNeverShowsMinusZero) {
  const struct {
    double value;
    int decimals;
    const char* text;
  } cases[] = {
      {-0.000004, 5, "0.00000"},  {-0.000006, 5, "-0.00001"}, {0.1234567, 6, "0.123457"},
      {-14.07815, 4, "-14.0782"}, {3405.1, 5, "3405.10000"},  {0, 3, "0.000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(FixedDecimals(c.value, c.decimals), c.text);
  }
  // The largest values are written whole: 301 digits, a sign, a point, two decimals.
  const std::string huge = FixedDecimals(-1e300, 2);
  EXPECT_EQ(huge.size(), 305u);
  EXPECT_EQ(huge.substr(0, 5), "-1000");
  EXPECT_EQ(huge.substr(huge.size() - 3), ".00");
}

TEST(LevelledSummaryText, ListsEachLineAndTheUnits) {
  LevelledFile file = TwoLines();
  EXPECT_EQ(LevelledSummaryText(file),
            "Levelled lines: 2\n"
            "  BM N-4 to J-2: difference -14.07796, length 3405.12350, 12 setups (from line 1)\n"
            "  J-2 to BM 7: difference 0.00000, length 80.25725, 1 setup (from line 60)\n"
            "Setups: 13\n"
            "Backsight and foresight readings used: 52\n"
            "Units: feet (differences and lengths as the file gives them)\n");
  file.intermediate_sights = 2;
  file.other_readings = 1;
  file.repeated = 3;
  file.flagged = 4;
  const std::string summary = LevelledSummaryText(file);
  EXPECT_NE(summary.find("Intermediate sights passed over: 2\n"), std::string::npos);
  EXPECT_NE(summary.find("Other staff readings passed over: 1 (measure-only, set-out, single or "
                         "check readings)\n"),
            std::string::npos);
  EXPECT_NE(summary.find("Readings dropped because they were repeated: 3\n"), std::string::npos);
  EXPECT_NE(summary.find("Records marked in error passed over: 4\n"), std::string::npos);
}

}  // namespace
}  // namespace quarrow
