// GSI words one rule at a time: every unit digit, both word widths, point
// identifiers, reflector heights carried over, where setups start, and each
// refusal naming its line.

#include "convert/gsi_reader.h"

#include <gtest/gtest.h>

#include <cmath>

#include "convert/level_run.h"
#include "tests/convert/survey_writers.h"

namespace quarrow {
namespace {

using testing_support::GsiWord;

// One observation block: point, zenith word, distance word, reflector 1.5 m.
std::string Block(bool gsi16, const std::string& zenith_info, const std::string& zenith,
                  const std::string& distance_index, const std::string& distance_info,
                  const std::string& distance, const std::string& point = "P1") {
  return std::string(gsi16 ? "*" : "") + GsiWord("11", "0001", '+', point, gsi16) +
         GsiWord("22", zenith_info, '+', zenith, gsi16) +
         GsiWord(distance_index, distance_info, '+', distance, gsi16) +
         GsiWord("87", "..10", '+', "1500", gsi16) + "\r\n";
}

// Two sightings make a setup; the second is a plain level sight.
Reading FirstReading(const std::string& gsi) {
  const FieldBook book =
      ReadGsi(gsi + Block(false, ".104", "09000000", "31", "..00", "10000", "P2"));
  EXPECT_EQ(book.setups.size(), 1u);
  return book.setups.at(0).readings.at(0);
}

TEST(ReadGsi, EveryAngleUnitInBothWidths) {
  struct Row {
    const char* info;
    const char* data;
    double seconds;
  };
  const Row rows[] = {
      {".102", "10000000", 324000},    // 100 gon
      {".102", "9975000", 323190},     // 99.75 gon
      {".103", "9000000", 324000},     // 90 decimal degrees
      {".103", "8997500", 323910},     // 89.975 degrees
      {".104", "8958300", 323910},     // 89°58'30.0"
      {".104", "9001055", 324065.5},   // 90°01'05.5"
      {".104", "27001325", 972092.5},  // 270°01'32.5", face II as read
      {".105", "16000000", 324000},    // 1600 mil
      {"..04", "8958300", 323910},     // input-mode digits do not matter
  };
  for (bool gsi16 : {false, true}) {
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(gsi16 ? "GSI-16 " : "GSI-8 ") + row.info + " " + row.data);
      const Reading r = FirstReading(Block(gsi16, row.info, row.data, "31", "..00", "10000"));
      EXPECT_NEAR(r.zenith, row.seconds, 1e-6);
    }
  }
}

TEST(ReadGsi, EveryLengthUnitInBothWidths) {
  struct Row {
    const char* info;
    const char* data;
    double metres;
  };
  const Row rows[] = {
      {"..00", "52114", 52.114},        // metres, 1 mm
      {"....", "52114", 52.114},        // "." as unit: metres, 1 mm
      {"..06", "521140", 52.114},       // 0.1 mm
      {"..08", "5211400", 52.114},      // 0.01 mm
      {"..01", "171000", 52.1208},      // feet, 0.001 ft
      {"..07", "1710000", 52.1208},     // feet, 0.0001 ft
      {"..08", "99999999", 999.99999},  // the widest GSI-8 length
  };
  for (bool gsi16 : {false, true}) {
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(gsi16 ? "GSI-16 " : "GSI-8 ") + row.info + " " + row.data);
      const Reading r = FirstReading(Block(gsi16, ".104", "9000000", "31", row.info, row.data));
      EXPECT_NEAR(r.slope, row.metres, 1e-9);
    }
  }
}

TEST(ReadGsi, SexagesimalIsReadAsTextNotThroughAFloat) {
  // 0.1" steps must stay exact: 89°59'59.9" is 323999.9", not 323999.89999.
  const Reading r = FirstReading(Block(true, ".104", "8959599", "31", "..00", "10000"));
  EXPECT_EQ(std::llround(r.zenith * 10), 3239999);
  EXPECT_DOUBLE_EQ(r.zenith, 3239999 / 10.0);
}

TEST(ReadGsi, HorizontalDistanceBecomesSlopeWithTheReducedZenith) {
  const double expected = 100.0 / std::sin(80.0 * M_PI / 180.0);
  for (const char* zenith : {"8000000", "28000000"}) {  // 80° face I, 280° face II
    SCOPED_TRACE(zenith);
    const Reading r = FirstReading(Block(false, ".104", zenith, "32", "..00", "100000"));
    EXPECT_NEAR(r.slope, expected, 1e-9);
  }
}

TEST(ReadGsi, PointIdentifiersLoseOnlyTheirPaddingZeros) {
  struct Row {
    const char* data;
    bool gsi16;
    std::u32string name;
  };
  const Row rows[] = {
      {"00000TP1", false, U"TP1"},
      {"00000000", false, U"0"},
      {"00000100", false, U"100"},
      {"BM A-112", false, U"BM A-112"},
      {"000 A 01", false, U" A 01"},  // blanks are the name's own
      {"0000000000000TP1", true, U"TP1"},
      {"0000000000000000", true, U"0"},
      {"0000CULV INV N 2", true, U"CULV INV N 2"},
      {"00000000Br\xfc"
       "cke",
       true, U"Br\u00fccke"},  // Windows-1252 bytes
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.data);
    const std::string line = std::string(row.gsi16 ? "*" : "") +
                             GsiWord("11", "0001", '+', row.data, row.gsi16) +
                             GsiWord("22", ".104", '+', "9000000", row.gsi16) +
                             GsiWord("31", "..00", '+', "10000", row.gsi16) +
                             GsiWord("87", "..10", '+', "1500", row.gsi16);
    EXPECT_EQ(FirstReading(line + "\n").name, row.name);
  }
}

TEST(ReadGsi, WordsOfTwoAndThreeDigitIndicesKeepTheirWidth) {
  // Words the converter does not use still take their fixed width: codes,
  // the ppm/prism word with a sign inside its data, three-digit indices.
  const std::string line =
      GsiWord("11", "0001", '+', "P1", false) + GsiWord("51", "....", '+', "0012+034", false) +
      GsiWord("571", "...", '+', "00001234", false) + GsiWord("22", ".104", '+', "9000000", false) +
      GsiWord("31", "..00", '+', "10000", false) + GsiWord("87", "..10", '+', "1500", false) +
      "\r\n" + GsiWord("41", "0002", '+', "ROAD", false) +
      GsiWord("42", "....", '+', "EDGE", false) + "\r\n";
  const Reading r = FirstReading(line);
  EXPECT_EQ(r.name, U"P1");
  EXPECT_DOUBLE_EQ(r.slope, 10.0);
}

TEST(ReadGsi, ReflectorHeightIsCarriedFromTheLastBlockThatGaveOne) {
  auto word = [](const std::string& i, const std::string& info, const std::string& d) {
    return GsiWord(i, info, '+', d, false);
  };
  const std::string gsi =
      word("11", "0001", "STN1") + word("84", "..10", "1000") + word("87", "..10", "1700") + "\n" +
      word("11", "0002", "BM1") + word("22", ".104", "9000000") + word("31", "..00", "30000") +
      "\n" + word("87", "..10", "2000") + "\n" +  // a block that gives only the reflector
      word("11", "0003", "TP1") + word("22", ".104", "9000000") + word("31", "..00", "30000") +
      "\n" + word("11", "0004", "SS1") + word("22", ".104", "9000000") +
      word("31", "..00", "30000") + word("87", "..07", "50000") + "\n" + word("11", "0005", "SS2") +
      word("22", ".104", "9000000") + word("31", "..00", "30000") + "\n";
  const FieldBook book = ReadGsi(gsi);
  ASSERT_EQ(book.setups.size(), 1u);
  const std::vector<Reading>& r = book.setups[0].readings;
  ASSERT_EQ(r.size(), 4u);
  EXPECT_DOUBLE_EQ(r[0].rod, 1.7);  // from the station block
  EXPECT_DOUBLE_EQ(r[1].rod, 2.0);
  EXPECT_NEAR(r[2].rod, 5 * 0.3048, 1e-12);  // given in feet on the block itself
  EXPECT_NEAR(r[3].rod, 5 * 0.3048, 1e-12);
}

// Names of each setup's readings, to see where setups start.
std::vector<std::vector<std::u32string>> SetupNames(const FieldBook& book) {
  std::vector<std::vector<std::u32string>> names;
  for (const SetupReadings& s : book.setups) {
    names.emplace_back();
    for (const Reading& r : s.readings) names.back().push_back(r.name);
  }
  return names;
}

std::string Sight(const std::string& point, bool face_two) {
  return Block(false, ".104", face_two ? "27000000" : "9000000", "31", "..00", "30000", point);
}

TEST(ReadGsi, WithoutStationBlocksASetupStartsWhereTheTurningPointIsReadAgainInFaceOne) {
  struct Row {
    const char* what;
    std::string gsi;
    std::vector<std::vector<std::u32string>> setups;
  };
  const Row rows[] = {
      {"face I only",
       Sight("BM1", false) + Sight("TP1", false) + Sight("TP1", false) + Sight("BM2", false),
       {{U"BM1", U"TP1"}, {U"TP1", U"BM2"}}},
      {"both faces on the turning point",
       Sight("BM1", false) + Sight("TP1", false) + Sight("TP1", true) + Sight("TP1", false) +
           Sight("TP1", true) + Sight("BM2", false),
       {{U"BM1", U"TP1", U"TP1"}, {U"TP1", U"TP1", U"BM2"}}},
      {"face II first is a pair, not a new setup",
       Sight("BM1", false) + Sight("SS1", true) + Sight("SS1", false) + Sight("BM2", false),
       {{U"BM1", U"SS1", U"SS1", U"BM2"}}},
      {"side shots between",
       Sight("BM1", false) + Sight("SS1", false) + Sight("TP1", false) + Sight("TP1", false) +
           Sight("SS2", false) + Sight("BM2", false),
       {{U"BM1", U"SS1", U"TP1"}, {U"TP1", U"SS2", U"BM2"}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const FieldBook book = ReadGsi(row.gsi);
    EXPECT_TRUE(book.setups_from_turning_points);
    EXPECT_EQ(SetupNames(book), row.setups);
  }
}

std::string Words(const std::vector<std::string>& words) {
  std::string line;
  for (const std::string& w : words) line += w + " ";
  return line + "\r\n";
}

// BM1 before any mark, then TP0, TP1 read twice in face I (a split, were
// nothing marked), then TP1 and BM2: `mark` before TP0 and twice before the
// second setup.
std::string MarkedRun(const std::string& mark) {
  return Sight("BM1", false) + mark + Sight("TP0", false) + Sight("TP1", false) +
         Sight("TP1", false) + mark + mark + Sight("TP1", false) + Sight("BM2", false);
}

TEST(ReadGsi, StationAndCodeBlocksStartSetupsAndNameTheStation) {
  const std::vector<std::vector<std::u32string>> marked = {
      {U"BM1"}, {U"TP0", U"TP1", U"TP1"}, {U"TP1", U"BM2"}};
  const std::vector<std::vector<std::u32string>> guessed = {
      {U"BM1", U"TP0", U"TP1"}, {U"TP1"}, {U"TP1", U"BM2"}};
  struct Row {
    const char* what;
    std::string mark;
    bool starts_setups;
    std::u32string station;
  };
  const Row rows[] = {
      {"station block, word 88 alone", Words({"110001+00000STN", "88..10+00001600"}), true, U"STN"},
      {"station block, words 84 to 86 without a point",
       Words({"84..10+00001000", "85..10+00002000", "86..10+00000100"}), true, U""},
      {"code 2, station and instrument height",
       Words({"410001+00000002", "42....+0000STN7", "43....+00001600", "44....+00000BM1"}), true,
       U"STN7"},
      {"code 1, instrument height only", Words({"410001+00000001", "43....+00001600"}), true, U""},
      {"GSI-16 code 2", "*" + Words({"410001+0000000000000002", "42....+000000000STATION"}), true,
       U"STATION"},
      {"code 2 without information words", Words({"410001+00000002"}), false, U""},
      {"a feature code with information", Words({"410001+00000013", "42....+0000TREE"}), false,
       U""},
      {"a code that is text", Words({"410001+0000STN2", "42....+0000STN2"}), false, U""},
      {"a block of comments, no station words", Words({"110001+00000STN", "71....+0000NOTE"}),
       false, U""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const FieldBook book = ReadGsi(MarkedRun(row.mark));
    EXPECT_EQ(book.setups_from_turning_points, !row.starts_setups);
    EXPECT_EQ(SetupNames(book), row.starts_setups ? marked : guessed);
    if (row.starts_setups) {
      EXPECT_EQ(book.setups.at(1).station, row.station);
      EXPECT_EQ(book.setups.at(1).place, "line 2");
      EXPECT_EQ(book.setups.at(2).place, "line 6");
    }
  }
}

TEST(ReadGsi, AngleOnlyMeasurementsArePassedOverAndCounted) {
  struct Row {
    const char* what;
    std::string block;
  };
  const Row rows[] = {
      {"zenith without a distance",
       Words({"110002+0000TREE", "21.104+04500000", "22.104+09130000"})},
      {"a slope distance of zero",
       Words({"110002+0000TREE", "22.104+09130000", "31..00+00000000", "87..10+00001500"})},
      {"a horizontal distance of zero",
       Words({"110002+0000TREE", "22.104+09130000", "32..00+00000000"})},
      {"a horizontal angle alone", Words({"110002+0000TREE", "21.104+04500000"})},
      {"no point either", Words({"21.104+04500000", "22.104+09130000"})},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const FieldBook book = ReadGsi(Sight("BM1", false) + row.block + Sight("BM2", false));
    EXPECT_EQ(book.angle_only, 1);
    EXPECT_EQ(SetupNames(book), (std::vector<std::vector<std::u32string>>{{U"BM1", U"BM2"}}));
  }
  try {
    ReadGsi("\r\n" + rows[0].block + rows[1].block);
    ADD_FAILURE() << "accepted";
  } catch (const ConvertError& error) {
    EXPECT_EQ(std::string(error.what()),
              "line 2: the file's measurements (2, the first on this line) are all angle-only, "
              "without a distance (word 31 or 32); a level run needs a slope distance with every "
              "zenith angle.");
  }
}

TEST(ReadGsi, LineNumbersCountEveryLineEndOnce) {
  const std::string bad = "110002+00000TP1 22.104+0900X000 31..00+00010000 ";
  std::string cr_alone = Sight("BM1", false);
  cr_alone.erase(cr_alone.size() - 1);  // its LF
  struct Row {
    const char* what;
    std::string gsi;
  };
  const Row rows[] = {
      {"CR LF", "\r\n" + Sight("BM1", false) + bad + "\r\n"},
      {"CR alone", "\r" + cr_alone + bad + "\r"},
      {"LF, then CR LF", "\n" + Sight("BM1", false) + bad},
      {"a comment and a transfer line", "! job 7\n\x03" + std::string("12 blocks sent\r") + bad},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    try {
      ReadGsi(row.gsi);
      ADD_FAILURE() << "accepted";
    } catch (const ConvertError& error) {
      EXPECT_EQ(std::string(error.what()).substr(0, 8), "line 3: ") << error.what();
    }
  }
}

TEST(ReadGsi, WithoutMarksASplitThatIsNoLevelRunIsRefused) {
  std::string many = Sight("BM1", false);
  for (int i = 0; i < 201; ++i) many += Sight("SS" + std::to_string(i), false);
  struct Row {
    const char* what;
    std::string gsi;
    const char* message;
  };
  const Row rows[] = {
      {"a point read again after others",
       Sight("BM1", false) + Sight("TP1", false) + Sight("SS1", false) + Sight("TP1", false) +
           Sight("BM2", false),
       "line 4: the file cannot be split into setups. No station block (words 84 to 86 or 88 "
       "without a measurement) and no station code block (word 41 code 1 or 2 with word 42 or "
       "43) marks where a setup starts, so setups were split where a point is read again at "
       "once in face I, and the setup from line 1 then reads point \"TP1\" again after other "
       "points. Expected a station or code block at the start of every setup, or every turning "
       "point read twice in a row (the foresight, then the next setup's backsight)."},
      {"the backsight read again at the end of a later setup",
       Sight("BM1", false) + Sight("TP1", false) + Sight("TP1", false) + Sight("BM2", false) +
           Sight("TP1", false),
       "line 5: the file cannot be split into setups."},
      {"more than 200 observations in a setup", many,
       "line 1: the file cannot be split into setups. No station block"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    try {
      ReadGsi(row.gsi);
      ADD_FAILURE() << "accepted";
    } catch (const ConvertError& error) {
      EXPECT_NE(std::string(error.what()).find(row.message), std::string::npos) << error.what();
    }
  }
  // With a station block in front, the file says where setups start.
  EXPECT_NO_THROW(ReadGsi(Words({"110001+00000STN", "88..10+00001600"}) + Sight("BM1", false) +
                          Sight("TP1", false) + Sight("SS1", false) + Sight("TP1", false)));
}

TEST(ReadGsi, UnitsOfTheFieldFileFollowTheFirstDistanceWord) {
  EXPECT_EQ(ReadGsi(Block(false, ".104", "9000000", "31", "..06", "10000")).units, Units::kMetric);
  EXPECT_EQ(ReadGsi(Block(false, ".104", "9000000", "31", "..07", "10000")).units, Units::kFeet);
  EXPECT_EQ(ReadGsi(Block(false, ".104", "9000000", "32", "..01", "10000") +
                    Block(false, ".104", "9000000", "31", "..00", "10000"))
                .units,
            Units::kFeet);
}

TEST(ReadGsi, RefusalsNameTheLine) {
  const std::string good = Sight("BM1", false);
  struct Row {
    const char* what;
    std::string gsi;
    const char* message;  // a part of the message
  };
  const Row rows[] = {
      {"short word", good + "110002+00TP1\r\n", "line 2: the word \"110002+00TP1\" is shorter"},
      {"word runs on", good + "110002+000000TP1X22.104+09000000\r\n", "line 2: the word"},
      {"GSI-8 words on a GSI-16 line", "*" + good, "line 1"},
      {"no sign", good + "110002 00000TP1 \r\n", "has no sign"},
      {"letters in a zenith", Block(false, ".104", "9O00000", "31", "..00", "1"),
       "line 1: the word \"22.104+09O00000\" holds other than digits"},
      {"length unit on an angle", Block(false, "..00", "9000000", "31", "..00", "1"),
       "not an angle unit"},
      {"angle unit on a length", Block(false, ".104", "9000000", "31", "..02", "1"),
       "not a length unit"},
      {"sixty minutes", Block(false, ".104", "8960000", "31", "..00", "1"), "60 or more"},
      {"zenith over the circle", Block(false, ".103", "36000000", "31", "..00", "1"),
       "360 degrees or more"},
      {"elevation angle", Block(false, ".104", "0130000", "31", "..00", "10000"),
       "line 1: point \"P1\" has a zenith angle under 30 degrees"},
      {"elevation angle in face II", Block(false, ".104", "35000000", "31", "..00", "10000"),
       "line 1: point \"P1\" has a zenith angle under 30 degrees"},
      {"negative distance", good + Words({"110002+00000TP1", "22.104+09000000", "31..00-00001000"}),
       "line 2: the word \"31..00-00001000\" is not a positive distance."},
      {"no point",
       good + GsiWord("22", ".104", '+', "9000000", false) + GsiWord("31", "..00", '+', "1", false),
       "line 2: a measurement without a point; expected word 11 naming the point in every "
       "measurement block."},
      {"no reflector height yet",
       "\r\n" + GsiWord("11", "0001", '+', "BM1", false) +
           GsiWord("22", ".104", '+', "9000000", false) + GsiWord("31", "..00", '+', "1", false),
       "line 2: point \"BM1\" is observed before any reflector height"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    try {
      ReduceFieldBook(ReadGsi(row.gsi));
      ADD_FAILURE() << "accepted";
    } catch (const ConvertError& error) {
      EXPECT_NE(std::string(error.what()).find(row.message), std::string::npos) << error.what();
    }
  }
}

TEST(LooksLikeGsi, RecognisesBothWidthsAndNothingElse) {
  EXPECT_TRUE(LooksLikeGsi("110001+00000BM1 22.104+09000000"));
  EXPECT_TRUE(LooksLikeGsi("\r\n\r\n*110001+0000000000000BM1 "));
  EXPECT_TRUE(LooksLikeGsi("410001+00000013 42....+0000TREE"));
  EXPECT_TRUE(LooksLikeGsi("\t 110001+00000BM1\r"));
  EXPECT_TRUE(LooksLikeGsi("! exported 12 May\r\x03\r110001+00000BM1 "));
  EXPECT_FALSE(
      LooksLikeGsi("1,BM1,89\xb0"
                   "58'30,52.114,1.500\r\n"));
  EXPECT_FALSE(LooksLikeGsi("<?xml version=\"1.0\"?>"));
  EXPECT_FALSE(LooksLikeGsi(""));
  EXPECT_FALSE(LooksLikeGsi("11"));
}

}  // namespace
}  // namespace quarrow
