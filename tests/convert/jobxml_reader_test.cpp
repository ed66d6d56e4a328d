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

TEST(ReadJobXml, LiveSightingsWithAngleAndDistanceAreReadings) {
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
      Point("p10", " J ", "") + Point("p11", "K", "<Method>AngleOnly</Method>") +
      Point("p12", "L", "<Method>AngleOffset</Method>")));
  EXPECT_EQ(ReadingNames(book),
            (std::vector<std::u32string>{U"A", U"B", U"C", U"E", U"G", U" J "}));
  EXPECT_EQ(book.setups[0].readings[0].place, "record p1");
  EXPECT_EQ(book.angle_only, 2);  // H and K
  EXPECT_EQ(book.means, 1);       // C
  EXPECT_EQ(book.units, Units::kMetric);
}

TEST(ReadJobXml, MeansOfRoundsStandInOnlyForPointsWithoutDirectReadings) {
  const std::string mean = "<Method>AverageMeasurements</Method>";
  struct Row {
    const char* what;
    std::string records;  // after station s1, s2 and target t1
    std::vector<std::u32string> names;
    std::vector<double> zeniths;  // degrees, of the readings in order
    int means;
  };
  const Row rows[] = {
      {"means only",
       Point("m1", "A", mean, "90.1") + Point("m2", "B", mean, "90.2"),
       {U"A", U"B"},
       {90.1, 90.2},
       2},
      {"a mean after the direct readings it averages",
       Point("p1", "A", "", "90.1") + Point("p2", "A", "", "269.9") +
           Point("m1", "A", mean, "90.3") + Point("p3", "B", "", "90.2"),
       {U"A", U"A", U"B"},
       {90.1, 269.9, 90.2},
       0},
      {"a mean before them, and of another kind",
       Point("m1", "A", "<Method>MeanTurnedAngle</Method>", "90.3") + Point("p1", "A", "", "90.1") +
           Point("p3", "B", "", "90.2"),
       {U"A", U"B"},
       {90.1, 90.2},
       0},
      {"a mean in one setup, direct readings of that point in another",
       Point("p1", "A", "", "90.1") + Point("m1", "B", mean, "90.2") +
           Point("m2", "B", mean, "90.4", "100", "s2") + Point("p2", "C", "", "90.5", "100", "s2"),
       {U"A", U"B", U"B", U"C"},
       {90.1, 90.2, 90.4, 90.5},
       2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const FieldBook book =
        ReadJobXml(Job(Station("s1") + Station("s2") + Target("t1", "1.5") + row.records));
    EXPECT_EQ(ReadingNames(book), row.names);
    std::vector<double> zeniths;
    for (const SetupReadings& setup : book.setups) {
      for (const Reading& r : setup.readings) zeniths.push_back(r.zenith / 3600);
    }
    ASSERT_EQ(zeniths.size(), row.zeniths.size());
    for (std::size_t i = 0; i < zeniths.size(); ++i) EXPECT_NEAR(zeniths[i], row.zeniths[i], 1e-9);
    EXPECT_EQ(book.means, row.means);
  }
  // The backsight a mean is classified as stays the backsight.
  const FieldBook classified =
      ReadJobXml(Job(Station("s1") + Target("t1", "1.5") + Point("m1", "A", mean) +
                     Point("m2", "B", mean + "<Classification>BackSight</Classification>")));
  EXPECT_EQ(classified.setups[0].backsight_reading, 1u);
}

TEST(ReadJobXml, ATargetIdNamesTheLastRecordOfThatIdBeforeTheReading) {
  struct Row {
    const char* what;
    std::string records;
    std::vector<double> rods;
  };
  const Row rows[] = {
      {"a record of the same ID after the reading",
       Target("t1", "1.5") + Point("p1", "A", "") + Target("t1", "2.0") + Point("p2", "B", ""),
       {1.5, 2.0}},
      {"two before the reading",
       Target("t1", "9") + Target("t1", "1.5") + Point("p1", "A", ""),
       {1.5}},
      {"none before: the first after it",
       Point("p1", "A", "") + Target("t1", "1.5") + Target("t1", "9"),
       {1.5}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const FieldBook book = ReadJobXml(Job(Station("s1") + row.records));
    std::vector<double> rods;
    for (const Reading& r : book.setups.at(0).readings) rods.push_back(r.rod);
    EXPECT_EQ(rods, row.rods);
  }
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

TEST(ReadJobXml, AStationOnAPointOfTheJobIsMarkedSo) {
  const std::string readings = Target("t1", "1.5") + Point("p1", "A", "") + Point("p2", "B", "");
  struct Row {
    const char* what;
    std::string xml;
    bool on_a_point;
  };
  const Row rows[] = {
      {"a level-run station", Job(Station("s1") + readings), false},
      {"keyed in",
       Job("<PointRecord ID=\"k1\"><Name>S</Name><Method>Keyed</Method><Grid><North>1</North>"
           "</Grid></PointRecord>\n" +
           Station("s1") + readings),
       true},
      {"observed", Job(Station("s1") + readings + Point("p3", "S", "")), true},
      {"deleted", Job(Station("s1") + readings + Point("p3", "S", "<Deleted>true</Deleted>")),
       false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const FieldBook book = ReadJobXml(row.xml);
    EXPECT_EQ(book.setups.at(0).station, U"S");
    EXPECT_EQ(book.setups.at(0).station_is_job_point, row.on_a_point);
  }
  std::string reduced = Job(Station("s1") + readings);
  reduced.insert(reduced.find("</JOBFile>"),
                 "<Reductions><Point ID=\"r1\"><Name>S</Name><Grid><North>1</North></Grid>"
                 "</Point></Reductions>\n");
  EXPECT_TRUE(ReadJobXml(reduced).setups.at(0).station_is_job_point);
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
      {"no station ID", Job(base + Point("p7", "A", "", "90", "100", "")),
       "record p7: point \"A\" names no station record (StationID); every reading belongs to "
       "the StationRecord of its setup."},
      {"missing target", Job(base + Point("p7", "A", "", "90", "100", "s1", "t9")),
       "record p7: point \"A\" has no rod height: it names the target record \"t9\", which is "
       "not in the file."},
      {"no target ID", Job(base + Point("p7", "A", "", "90", "100", "s1", "")),
       "record p7: point \"A\" has no rod height: it names no target record (TargetID), which "
       "holds the height."},
      {"empty target height",
       Job(Target("t2", "") + Station("s1") + Point("p7", "A", "", "90", "100", "s1", "t2")),
       "record p7: point \"A\" has no rod height: its target record t2 gives no TargetHeight."},
      {"no target ID, no name", Job(base + Point("p7", "", "", "90", "100", "s1", "")),
       "record p7: a point without a name has no rod height"},
      {"only GNSS observations",
       Job("<PointRecord ID=\"g1\"><Name>CP1</Name><Method>GpsRtk</Method><ECEFDeltas><DeltaX>1"
           "</DeltaX></ECEFDeltas></PointRecord>\n<PointRecord ID=\"g2\"><Name>CP2</Name>"
           "<ECEF><X>1</X></ECEF></PointRecord>\n"),
       "record g1: the file holds only GNSS observations (2 points, the first in this record, "
       "measured by a GNSS receiver), and no total-station observation; a level run needs "
       "StationRecords "
       "with readings of a zenith angle (VerticalCircle) and a slope distance (EDMDistance) to "
       "its points."},
      {"only coordinates",
       Job(Station("s1") + "<PointRecord ID=\"k1\"><Name>BM1</Name><Method>Keyed</Method><Grid>"
                           "<Elevation>5</Elevation></Grid></PointRecord>\n"),
       "record k1: the file holds only coordinates (1 point, keyed in, imported or computed), and "
       "no total-station observation; a level run needs StationRecords"},
      {"only angles",
       Job(base + Point("a1", "A", "<Method>AngleOnly</Method>") +
           Point("a2", "B", "<Method>AngleOnly</Method>")),
       "record a1: the file's total-station readings (2 readings, the first in this record) are "
       "all angle-only, without an EDMDistance; a level run needs"},
      {"nothing at all", Job(base),
       "the file holds no total-station observations; a level run needs StationRecords"},
      {"missing atmosphere",
       Job(Target("t1", "1.5") + Station("s1", "<AtmosphereID>a9</AtmosphereID>") +
           Point("p7", "A", "")),
       "record s1: the station names the atmosphere record \"a9\""},
      {"angle not a number", Job(base + Point("p7", "A", "", "ninety")),
       "record p7: the vertical circle reading \"ninety\" is not a number"},
      {"comma decimals", Job(base + Point("p7", "A", "", "90", "100,5")),
       "record p7: the EDM distance \"100,5\" is not a number; expected digits with a \".\" "
       "decimal point."},
      {"circle out of range", Job(base + Point("p7", "A", "", "400")), "outside 0 to 360"},
      {"negative distance", Job(base + Point("p7", "A", "", "90", "-3")), "no positive slope"},
      {"back bearing to a missing station",
       Job(base + "<BackBearingRecord ID=\"b1\"><BackSight>B</BackSight><StationRecordID>s9"
                  "</StationRecordID></BackBearingRecord>"),
       "record b1: the back bearing names the station record \"s9\", which is not in the file."},
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
