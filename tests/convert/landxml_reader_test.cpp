// LandXML survey observations one rule at a time: the units, setups and the
// observations inside them or naming them, purposes, Leica's additions, and
// each refusal naming its line.

#include "convert/landxml_reader.h"

#include <gtest/gtest.h>

#include "convert/converter.h"
#include "tests/convert/book_text.h"

namespace quarrow {
namespace {

using testing_support::BookText;
using testing_support::RefusalOf;

std::string LandXml(const std::string& units, const std::string& survey,
                    const std::string& before_survey = "") {
  return "<?xml version=\"1.0\"?>\n"
         "<LandXML xmlns=\"http://www.landxml.org/schema/LandXML-1.2\" "
         "xmlns:hexml=\"http://www.leica-geosystems.com/hexml\" version=\"1.2\">\n"
         "<Units>" +
         units + "</Units>\n" + before_survey + "<Survey>\n" + survey + "</Survey>\n</LandXML>\n";
}

const std::string kMetric = "<Metric linearUnit=\"meter\" angularUnit=\"decimal degrees\"/>";

std::string Observation(const std::string& attributes, const std::string& point = "P1") {
  return "<RawObservation " + attributes + " targetHeight=\"1.5\"><TargetPoint pntRef=\"" + point +
         "\"/></RawObservation>\n";
}

TEST(ReadLandXml, ElementsAsOfficePackagesAndCaptivateWriteThem) {
  const std::string two = Observation("zenithAngle=\"90\" slopeDistance=\"10\"", "P2");
  struct Row {
    const char* what;
    std::string xml;
    std::string book;
    int angle_only = 0;
  };
  const Row rows[] = {
      {"observations inside their setup, roles from purpose, the backsight point",
       LandXml(
           kMetric,
           "<InstrumentSetup id=\"s1\" stationName=\"STN1\" instrumentHeight=\"1.55\">"
           "<InstrumentPoint pntRef=\"STN1\"/><Backsight><BacksightPoint pntRef=\"BM1\"/>"
           "</Backsight>\n" +
               Observation("purpose=\"sideshot\" zenithAngle=\"91\" slopeDistance=\"20\"", "TREE") +
               Observation("purpose=\"backsight\" zenithAngle=\"89.5\" "
                           "slopeDistance=\"48.2142\"",
                           "BM1") +
               Observation("purpose=\"foresight\" zenithAngle=\"90.25\" slopeDistance=\"47.9\"",
                           "TP1") +
               "</InstrumentSetup>\n"),
       "STN1 bs=BM1: TREE 327600.0 20.0000 1.5000; BM1 322200.0 48.2142 1.5000 B; TP1 324900.0 "
       "47.9000 1.5000 F"},
      {"observations in groups naming their setup, before and after it; the station from its "
       "point",
       LandXml(kMetric,
               "<ObservationGroup setupID=\"s2\">" + two + "</ObservationGroup>\n" +
                   "<InstrumentSetup id=\"s1\"><InstrumentPoint pntRef=\"A\"/></InstrumentSetup>\n"
                   "<InstrumentSetup id=\"s2\" stationName=\"B\"/>\n"
                   "<ObservationGroup>" +
                   Observation("setupID=\"s1\" zenithAngle=\"90\" slopeDistance=\"10\"") +
                   "</ObservationGroup>\n"),
       "A: P1 324000.0 10.0000 1.5000 | B: P2 324000.0 10.0000 1.5000"},
      {"US survey feet and dd.mm.ss; a check shot passed over; horizDistance with the zenith",
       LandXml("<Imperial linearUnit=\"USSurveyFoot\" angularUnit=\"decimal dd.mm.ss\"/>",
               "<InstrumentSetup id=\"s1\" stationName=\"S\">" +
                   Observation("zenithAngle=\"89.5512\" slopeDistance=\"3937\"") +
                   Observation("purpose=\"check\" zenithAngle=\"89.5513\" slopeDistance=\"3938\"") +
                   Observation("zenithAngle=\"60\" horizDistance=\"3409.5420146993\"", "P2") +
                   "</InstrumentSetup>\n"),
       "S: P1 323712.0 1200.0000 0.4572; P2 216000.0 1200.0000 0.4572"},
      {"grads, Leica's additions passed over, angles without a distance counted",
       LandXml("<Metric linearUnit=\"meter\" angularUnit=\"grads\"/>",
               "<InstrumentSetup id=\"s1\" stationName=\"S\"><hexml:Setup mode=\"1\"/>\n"
               "<RawObservation zenithAngle=\"100\" slopeDistance=\"10\" targetHeight=\"1.5\" "
               "hexml:face=\"1\"><TargetPoint name=\"P1\"/><hexml:Quality value=\"3\"/>"
               "</RawObservation>\n" +
                   Observation("horizAngle=\"12\" zenithAngle=\"101\"", "FENCE") +
                   Observation("horizAngle=\"14\"", "POLE") + "</InstrumentSetup>\n",
               "<CgPoints><CgPoint name=\"CP9\">1 2 3</CgPoint></CgPoints>\n"),
       "S: P1 324000.0 10.0000 1.5000", 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    FieldBook book;
    try {
      book = ReadLandXml(row.xml);
    } catch (const ConvertError& error) {
      ADD_FAILURE() << error.what();
      continue;
    }
    EXPECT_EQ(BookText(book), row.book);
    EXPECT_EQ(book.angle_only, row.angle_only);
  }
  const FieldBook feet = ReadLandXml(rows[2].xml);
  EXPECT_TRUE(feet.us_survey_feet);
  EXPECT_EQ(feet.units_read, "US survey feet, zenith angles in degrees, minutes and seconds");
  EXPECT_EQ(ReadLandXml(rows[3].xml).units_read, "metres, zenith angles in gon");
}

TEST(ReadLandXml, RefusalsNameTheLineAndWhatWasExpected) {
  const std::string setup = "<InstrumentSetup id=\"s1\" stationName=\"S\">\n";
  struct Row {
    const char* what;
    std::string xml;
    const char* message;
  };
  const Row rows[] = {
      {"not well formed", LandXml(kMetric, setup), "the XML does not parse"},
      {"another root", "<?xml version=\"1.0\"?>\n<JOBFile/>\n",
       "line 2: the root element is <JOBFile>; a LandXML file's is <LandXML>."},
      {"another LandXML", "<LandXML xmlns=\"http://www.landxml.org/schema/LandXML-2.0\"/>",
       "line 1: the LandXML namespace is \"http://www.landxml.org/schema/LandXML-2.0\"; expected "
       "http://www.landxml.org/schema/LandXML-1.2."},
      {"a linear unit it does not know",
       LandXml("<Metric linearUnit=\"chain\" angularUnit=\"grads\"/>", ""),
       "line 3: the linear unit is \"chain\"; expected meter, foot or USSurveyFoot"},
      {"an angular unit it does not know",
       LandXml("<Metric linearUnit=\"meter\" angularUnit=\"mils\"/>", ""),
       "line 3: the angular unit is \"mils\"; expected decimal degrees, decimal dd.mm.ss, grads "
       "or radians"},
      {"observations before the units",
       "<LandXML><Survey><InstrumentSetup id=\"s\">" +
           Observation("zenithAngle=\"90\" slopeDistance=\"10\"") +
           "</InstrumentSetup></Survey>"
           "</LandXML>",
       "line 1: point \"P1\" is observed before the file's <Units> say what its numbers are "
       "in."},
      {"an observation of no setup",
       LandXml(kMetric, Observation("zenithAngle=\"90\" slopeDistance=\"10\"")),
       "line 5: point \"P1\" is observed from no InstrumentSetup; expected the RawObservation "
       "inside its InstrumentSetup or naming it by setupID."},
      {"a setup that is not in the file",
       LandXml(kMetric, Observation("setupID=\"s9\" zenithAngle=\"90\" slopeDistance=\"10\"")),
       "line 5: point \"P1\" is observed from the setup \"s9\", which is not in the file"},
      {"a distance without a zenith",
       LandXml(kMetric, setup + Observation("slopeDistance=\"10\"") + "</InstrumentSetup>"),
       "line 6: point \"P1\" has a distance but no zenith angle (zenithAngle)."},
      {"no target height",
       LandXml(kMetric, setup +
                            "<RawObservation zenithAngle=\"90\" slopeDistance=\"10\"><TargetPoint "
                            "pntRef=\"P1\"/></RawObservation></InstrumentSetup>"),
       "line 6: point \"P1\" has no rod height: the RawObservation gives no targetHeight."},
      {"a comma decimal",
       LandXml(kMetric, setup + Observation("zenithAngle=\"90\" slopeDistance=\"10,5\"") +
                            "</InstrumentSetup>"),
       "line 6: the slopeDistance \"10,5\" is not a number"},
      {"coordinates only",
       LandXml(kMetric, "",
               "<CgPoints><CgPoint name=\"A\">1 2</CgPoint><CgPoint name=\"B\">1 2"
               "</CgPoint></CgPoints>\n"),
       "line 4: the file holds only coordinates (2 points, the first on this line, keyed in, "
       "imported or computed), and no total-station observation; a level run needs "
       "InstrumentSetups with RawObservations giving a zenithAngle and a slopeDistance to its "
       "points."},
      {"GNSS only", LandXml(kMetric, "<GPSSetup id=\"g\"/><GPSVector setupID_A=\"g\"/>"),
       "line 5: the file holds only GNSS observations (1 point, measured by a GNSS receiver), "
       "and no total-station observation;"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string message = RefusalOf([&] { ReadLandXml(row.xml); });
    EXPECT_NE(message.find(row.message), std::string::npos) << message;
  }
}

TEST(ReadLandXml, ATraverseIsSaidToBeOne) {
  auto setup = [](const char* at, const char* back, const char* ahead) {
    return std::string("<InstrumentSetup id=\"") + at + "\" stationName=\"" + at +
           "\"><Backsight><BacksightPoint pntRef=\"" + back + "\"/></Backsight>" +
           Observation("purpose=\"backsight\" zenithAngle=\"90\" slopeDistance=\"80\"", back) +
           Observation("purpose=\"traverse\" zenithAngle=\"90\" slopeDistance=\"90\"", ahead) +
           "</InstrumentSetup>\n";
  };
  const std::string message = RefusalOf([&] {
    Convert(LandXml(kMetric,
                    setup("T1", "RM1", "T2") + setup("T2", "T1", "T3") + setup("T3", "T2", "T4")),
            {});
  });
  EXPECT_NE(message.find("line 8: this file is a traverse, not a level run: every setup "
                         "backsights the point the setup before it stood on (setup 2 at \"T2\" "
                         "backsights \"T1\"; setup 3 at \"T3\" backsights \"T2\")"),
            std::string::npos)
      << message;
}

}  // namespace
}  // namespace quarrow
