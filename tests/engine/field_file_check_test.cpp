// The warnings of a field file, each on its line, as the closure pass groups
// the lines; and the units a field file names in its first line.

#include "engine/field_file_check.h"

#include <gtest/gtest.h>

#include "engine/closure_pass.h"
#include "engine/units_hint.h"
#include "tests/support/fake_platform.h"

namespace quarrow {
namespace {

// The lines' warnings, "LINE: TEXT" each, from a pass over `text`.
std::vector<std::string> Warnings(const std::string& text, char mark = '\xb0') {
  FakePlatform platform;
  platform.files["run.txt"] = text;
  RunState rs;
  InitialiseFrames(rs);
  rs.InputPath = "run.txt";
  rs.DegreeMark = mark;
  StoreUnits(rs, Units::kMetric);
  FieldFileChecker checker;
  RunClosurePass(rs, platform, &checker);
  std::vector<std::string> lines;
  for (const FieldFileWarning& warning : checker.warnings()) {
    lines.push_back(std::to_string(warning.line) + ": " + warning.text);
  }
  return lines;
}

TEST(FieldFileChecker, EachMistakeOnItsLine) {
  const std::string header = "Level run from the office export\r\n\r\n";
  const struct {
    const char* what;
    std::string text;
    std::vector<std::string> warnings;
  } rows[] = {
      {"the worked example", ExampleFieldFile(), {}},
      {"a header, blank lines and a seconds mark",
       header + FieldFile({"1,BM1,89~58'30\",52.114,1.500", "1,TP1,90~02'15,51.880, 1.500 ",
                           "2,TP1,89~59'10,48.300,1.500", "2,BM2,90~01'40,47.950,1.500"}),
       {}},
      {"a letter l for a one",
       FieldFile({"1,BM1,89~58'30,52.114,1.500", "1,TP1,90~02'15,5l.880,1.500"}),
       {"2: the slope distance \"5l.880\" is read as 5: the text goes on past the number"}},
      {"a letter O for a zero, empty rod height",
       FieldFile({"1,BM1,89~58'30,51.88O,1.500", "1,TP1,90~02'15,51.880,"}),
       {"1: the slope distance \"51.88O\" is read as 51.88: the text goes on past the number",
        "2: the rod height is empty and is read as 0"}},
      {"an empty distance, missing fields",
       FieldFile({"1,BM1,89~58'30,,1.500", "1,TP1,90~02'15"}),
       {"1: the slope distance is empty and is read as 0",
        "2: the slope distance is empty and is read as 0",
        "2: the rod height is empty and is read as 0"}},
      {"minutes and seconds of 60 or more",
       FieldFile({"1,BM1,90~62'15,52.114,1.500", "1,TP1,90~02'60,51.880,1.500"}),
       {"1: the zenith \"90\u00b062'15\" has 62 minutes: minutes and seconds run from 0 up to 60",
        "2: the zenith \"90\u00b002'60\" has 60 seconds: minutes and seconds run from 0 up to 60"}},
      {"face II and out of range",
       FieldFile({"1,BM1,270~01'40,52.114,1.500", "1,TP1,400~00'00,51.880,1.500"}),
       {"1: the zenith \"270\u00b001'40\" is a face-II reading (over 180 degrees): it is used as "
        "read, so its horizontal distance comes out negative",
        "2: the zenith \"400\u00b000'00\" is not between 0 and 360 degrees"}},
      {"an angle without its minutes mark, one with text after its seconds",
       FieldFile({"1,BM1,89~30,52.114,1.500", "1,TP1,90~02'15 R,51.880,1.500"}),
       {"1: the zenith \"89\u00b030\" has no minutes mark ('): what follows the degree sign is "
        "read as seconds",
        "2: the zenith \"90\u00b002'15 R\" is not degrees, minutes and seconds: the text goes on "
        "past a number"}},
      {"a distance of zero and one below",
       FieldFile({"1,BM1,89~58'30,0,1.500", "1,TP1,90~02'15,-51.880,1.500"}),
       {"1: the slope distance 0 is not positive",
        "2: the slope distance -51.880 is not positive"}},
      {"a backsight on another point, setup numbers that go back",
       FieldFile({"5,BM1,89~58'30,52.114,1.500", "5,TP1,90~02'15,51.880,1.500",
                  "4,TP2,89~59'10,48.300,1.500", "4,BM2,90~01'40,47.950,1.500"}),
       {"3: the backsight names TP2, but the foresight before it was TP1",
        "3: setup 4 comes after setup 5: the setup numbers go back"}},
      {"bench marks without names",
       FieldFile({"1,,89~58'30,52.114,1.500", "1,TP1,90~02'15,51.880,1.500",
                  "2,TP1,89~59'10,48.300,1.500", "2,,90~01'40,47.950,1.500"}),
       {"1: the first backsight, on the beginning bench mark, has no name",
        "4: the last foresight, on the ending bench mark, has no name"}},
      {"a backsight left without a foresight",
       FieldFile({"1,BM1,89~58'30,52.114,1.500", "1,BM2,90~02'15,51.880,1.500",
                  "2,BM2,89~59'10,48.300,1.500"}) +
           "end of file\r\n",
       {"3: setup 2 has a backsight and no foresight: the line is not read"}},
      {"a name in the DOS code page",
       FieldFile({"1,BM1,89~58'30,52.114,1.500", "1,TP\x81,90~02'15,51.880,1.500",
                  "2,TP1,89~59'10,48.300,1.500", "2,BM2,90~01'40,47.950,1.500"},
                 '\xf8'),
       {"3: the backsight names TP1, but the foresight before it was TP\u00fc"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const char mark = row.text.find('\xf8') != std::string::npos ? '\xf8' : '\xb0';
    EXPECT_EQ(Warnings(row.text, mark), row.warnings);
  }
}

TEST(FieldFileChecker, KeepsTheFirstWarningsAndCountsThemAll) {
  std::string text;
  for (int setup = 1; setup <= 1500; ++setup) {
    const std::string id = std::to_string(setup);
    text += FieldFile({id + ",P" + std::to_string(setup - 1) + ",89~58'30,52.114,",
                       id + ",P" + id + ",90~02'15,51.880,1.500"});
  }
  FakePlatform platform;
  platform.files["run.txt"] = text;
  RunState rs;
  InitialiseFrames(rs);
  rs.InputPath = "run.txt";
  rs.DegreeMark = '\xb0';
  StoreUnits(rs, Units::kMetric);
  FieldFileChecker checker;
  RunClosurePass(rs, platform, &checker);
  EXPECT_EQ(checker.warning_count(), 1500);
  EXPECT_EQ(checker.warnings().size(), FieldFileChecker::kKeptWarnings);
  EXPECT_EQ(checker.warnings().back().line, 1999);
}

TEST(UnitsNamedBy, TheEndOfAFirstLineThatIsNoObservation) {
  const struct {
    std::string line;
    std::optional<Units> units;
  } rows[] = {
      {"Converted by quarrow-convert from JobXML file run.jxl; units: metric", Units::kMetric},
      {"Converted by quarrow-convert from GSI file run.gsi; units: feet  ", Units::kFeet},
      {"\xEF\xBB\xBFLevel run, Units: Metric", Units::kMetric},
      {"Level run; units: metres", std::nullopt},
      {"units: feet of rod", std::nullopt},
      {"1,BM1,89\xb0"
       "58'30,52.114,1.500 units: feet",
       std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    EXPECT_EQ(UnitsNamedBy(row.line), row.units);
  }
  FakePlatform platform;
  platform.files["converted.txt"] =
      "Converted by quarrow-convert from GSI file run.gsi; units: feet\r\n" + ExampleFieldFile();
  platform.files["plain.txt"] = ExampleFieldFile();
  EXPECT_EQ(ReadUnitsHint(platform, "converted.txt"), Units::kFeet);
  EXPECT_EQ(ReadUnitsHint(platform, "plain.txt"), std::nullopt);
  EXPECT_EQ(ReadUnitsHint(platform, "gone.txt"), std::nullopt);
}

}  // namespace
}  // namespace quarrow
