// JobXML records one rule at a time: which PointRecords are observations,
// the distance corrections, the atmosphere in force, and each refusal
// naming the record.

#include "convert/jobxml_reader.h"

#include <gtest/gtest.h>

#include "convert/level_run.h"

namespace quarrow {
namespace {

std::string Job(const std::string& records) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<JOBFile jobName=\"t\" version=\"5.6\">\n"
         "<FieldBook>\n" +
         records + "</FieldBook>\n</JOBFile>\n";
}

std::string Station(const std::string& id, const std::string& inner = "") {
  return "<StationRecord ID=\"" + id + "\"><StationName>S</StationName>" + inner +
         "</StationRecord>\n";
}

std::string Target(const std::string& id, const std::string& height,
                   const std::string& constant = "0") {
  return "<TargetRecord ID=\"" + id + "\"><PrismConstant>" + constant +
         "</PrismConstant><TargetHeight>" + height + "</TargetHeight></TargetRecord>\n";
}

std::string Atmosphere(const std::string& id, const std::string& ppm, bool apply) {
  return "<AtmosphereRecord ID=\"" + id + "\"><PPM>" + ppm + "</PPM><ApplyPPMToRawDistances>" +
         (apply ? "true" : "false") + "</ApplyPPMToRawDistances></AtmosphereRecord>\n";
}

std::string Point(const std::string& id, const std::string& name, const std::string& extra,
                  const std::string& vertical = "90", const std::string& edm = "100",
                  const std::string& station = "s1", const std::string& target = "t1") {
  return "<PointRecord ID=\"" + id + "\"><Name>" + name + "</Name>" + extra + "<StationID>" +
         station + "</StationID><TargetID>" + target +
         "</TargetID><Circle><HorizontalCircle>0</HorizontalCircle><VerticalCircle>" + vertical +
         "</VerticalCircle><EDMDistance>" + edm + "</EDMDistance></Circle></PointRecord>\n";
}

std::vector<std::u32string> ReadingNames(const FieldBook& book) {
  std::vector<std::u32string> names;
  for (const SetupReadings& s : book.setups) {
    for (const Reading& r : s.readings) names.push_back(r.name);
  }
  return names;
}

TEST(ReadJobXml, OnlyDirectLiveReadingsWithAngleAndDistanceAreObservations) {
  const FieldBook book = ReadJobXml(Job(
      Station("s1") + Target("t1", "1.5") + Point("p1", "A", "") +
      Point("p2", "B", "<Method>DirectReading</Method>") +
      Point("p3", "C", "<Method>MeanTurnedAngle</Method>") +
      Point("p4", "D", "<Deleted>true</Deleted>") + Point("p5", "E", "<Deleted>false</Deleted>") +
      Point("p6", "F", "<Classification>Check</Classification>") +
      Point("p7", "G", "<Classification>Normal</Classification>") +
      "<PointRecord ID=\"p8\"><Name>H</Name><StationID>s1</StationID><TargetID>t1</TargetID>"
      "<Circle><VerticalCircle>90</VerticalCircle></Circle></PointRecord>\n"
      "<PointRecord ID=\"p9\"><Name>I</Name><Grid><Elevation>5</Elevation></Grid></PointRecord>\n" +
      Point("p10", " J ", "")));
  EXPECT_EQ(ReadingNames(book), (std::vector<std::u32string>{U"A", U"B", U"E", U"G", U" J "}));
  EXPECT_EQ(book.setups[0].readings[0].place, "record p1");
  EXPECT_FALSE(book.feet);
}

TEST(ReadJobXml, DistanceCorrections) {
  struct Row {
    const char* what;
    std::string records;
    double slope;
  };
  const Row rows[] = {
      {"none", Target("t1", "1.5"), 100},
      {"prism constant", Target("t1", "1.5", "-0.0300"), 99.97},
      {"PPM applied", Atmosphere("a1", "20", true) + Target("t1", "1.5", "-0.03"), 99.972},
      {"PPM not to be applied", Atmosphere("a1", "20", false) + Target("t1", "1.5", "-0.03"),
       99.97},
      {"the last atmosphere before the reading",
       Atmosphere("a1", "20", true) + Atmosphere("a2", "-10", true) + Target("t1", "1.5"), 99.999},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const FieldBook book = ReadJobXml(Job(row.records + Station("s1") + Point("p1", "A", "")));
    EXPECT_NEAR(book.setups.at(0).readings.at(0).slope, row.slope, 1e-9);
    EXPECT_DOUBLE_EQ(book.setups[0].readings[0].rod, 1.5);
  }
}

TEST(ReadJobXml, TheStationsAtmosphereOutranksALaterOne) {
  const FieldBook book = ReadJobXml(
      Job(Atmosphere("a1", "30", true) + Target("t1", "1.5") +
          Station("s1", "<AtmosphereID>a1</AtmosphereID><ScaleFactor>0.9996</ScaleFactor>") +
          Atmosphere("a2", "500", true) + Point("p1", "A", "") + Station("s2") +
          Point("p2", "B", "", "90", "100", "s2")));
  EXPECT_NEAR(book.setups[0].readings[0].slope, 100.003, 1e-9);  // a1; no scale factor
  EXPECT_NEAR(book.setups[1].readings[0].slope, 100.05, 1e-9);   // the last before: a2
}

TEST(ReadJobXml, ReadingsGoToTheStationTheyNameInDocumentOrder) {
  const FieldBook book = ReadJobXml(
      Job(Target("t1", "1.5") + Target("t2", "2.0") + Station("s1") + Station("s2") +
          Point("p1", "A", "", "90", "100", "s2") + Point("p2", "B", "") +
          Point("p3", "C", "<Classification>BackSight</Classification>", "90", "100", "s2", "t2") +
          "<BackBearingRecord ID=\"b1\"><BackSight>B</BackSight><StationRecordID>s1"
          "</StationRecordID></BackBearingRecord>\n"));
  ASSERT_EQ(book.setups.size(), 2u);
  EXPECT_EQ(book.setups[0].place, "record s1");
  EXPECT_EQ(book.setups[0].backsight_name, U"B");
  EXPECT_FALSE(book.setups[0].backsight_reading);
  EXPECT_EQ(book.setups[1].backsight_reading, 1u);
  EXPECT_DOUBLE_EQ(book.setups[1].readings[1].rod, 2.0);
  EXPECT_DOUBLE_EQ(book.setups[1].readings[0].zenith, 324000);
}

TEST(ReadJobXml, RefusalsNameTheRecordOrLine) {
  const std::string base = Target("t1", "1.5") + Station("s1");
  struct Row {
    const char* what;
    std::string xml;
    const char* message;
  };
  const Row rows[] = {
      {"not well formed", Job(base + "<PointRecord ID=\"p1\">"),
       "line 6, column 33: the XML does not parse: Opening and ending tag mismatch."},
      {"another root", "<?xml version=\"1.0\"?>\n<gpx><wpt/></gpx>",
       "line 2: the root element is <gpx>; a JobXML file's is <JOBFile>"},
      {"no element", "<?xml version=\"1.0\"?>\n", "line 2, column 0: the XML does not parse"},
      {"missing station", Job(base + Point("p7", "A", "", "90", "100", "s9")),
       "record p7: point \"A\" names the station record \"s9\""},
      {"missing target", Job(base + Point("p7", "A", "", "90", "100", "s1", "t9")),
       "record p7: point \"A\" names the target record \"t9\""},
      {"empty target height",
       Job(Target("t2", "") + Station("s1") + Point("p7", "A", "", "90", "100", "s1", "t2")),
       "record p7: point \"A\" uses the target record t2, which has no target height"},
      {"missing atmosphere",
       Job(Target("t1", "1.5") + Station("s1", "<AtmosphereID>a9</AtmosphereID>") +
           Point("p7", "A", "")),
       "record s1: the station names the atmosphere record \"a9\""},
      {"angle not a number", Job(base + Point("p7", "A", "", "ninety")),
       "record p7: the vertical circle reading \"ninety\" is not a number"},
      {"comma decimals", Job(base + Point("p7", "A", "", "90", "100,5")),
       "record p7: the EDM distance \"100,5\" is not a number"},
      {"circle out of range", Job(base + Point("p7", "A", "", "400")), "outside 0 to 360"},
      {"negative distance", Job(base + Point("p7", "A", "", "90", "-3")), "no positive slope"},
      {"back bearing to a missing station",
       Job(base + "<BackBearingRecord ID=\"b1\"><BackSight>B</BackSight><StationRecordID>s9"
                  "</StationRecordID></BackBearingRecord>"),
       "record b1: the back bearing names the station record s9"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    try {
      ReadJobXml(row.xml);
      ADD_FAILURE() << "accepted";
    } catch (const ConvertError& error) {
      EXPECT_NE(std::string(error.what()).find(row.message), std::string::npos) << error.what();
    }
  }
}

TEST(ReadJobXml, ElevationAnglesAreRefusedNamingTheRecord) {
  try {
    ReduceFieldBook(ReadJobXml(Job(Target("t1", "1.5") + Station("s1") +
                                   Point("p1", "A", "", "1.5") + Point("p2", "B", ""))));
    ADD_FAILURE() << "accepted";
  } catch (const ConvertError& error) {
    EXPECT_NE(std::string(error.what()).find("record p1: point \"A\" has a zenith angle under 30"),
              std::string::npos)
        << error.what();
  }
}

TEST(LooksLikeXml, SkipsByteOrderMarkAndBlanks) {
  EXPECT_TRUE(LooksLikeXml("<?xml version=\"1.0\"?><JOBFile/>"));
  EXPECT_TRUE(LooksLikeXml("\xEF\xBB\xBF \r\n<JOBFile/>"));
  EXPECT_FALSE(LooksLikeXml("110001+00000BM1 "));
  EXPECT_FALSE(LooksLikeXml(""));
}

}  // namespace
}  // namespace quarrow
