// SDR33 records one rule at a time: the header's units, stations and
// backsights, target heights, face readings and the collector's means, and
// each refusal naming its line.

#include "convert/sdr_reader.h"

#include <gtest/gtest.h>

#include "convert/converter.h"
#include "tests/convert/book_text.h"

namespace quarrow {
namespace {

using testing_support::BookText;
using testing_support::RefusalOf;

// Names right-aligned in 16 characters, numbers left-aligned, as Sokkia
// writes them.
std::string Name(const std::string& text) { return std::string(16 - text.size(), ' ') + text; }
std::string Number(std::string text) {
  text.resize(16, ' ');
  return text;
}

std::string Header(char angle = '1', char distance = '1') {
  return std::string("00NMSDR33  V04-04.34    30-Nov-26 08:02 ") + angle + distance + "1121\r\n" +
         "10NMLEVELS          121111\r\n";
}

std::string StationRecord(const std::string& station) {
  return "02TP" + Name(station) + Number("") + Number("") + Number("") + Number("1.550") + "\r\n";
}
std::string Backsight(const std::string& station, const std::string& point) {
  return "07TP" + Name(station) + Name(point) + Number("0.0000") + Number("0.0000") + "\r\n";
}
std::string TargetHeight(const std::string& height) { return "03NM" + height + "\r\n"; }
std::string Obs(const char* code, const std::string& station, const std::string& point,
                const std::string& slope, const std::string& zenith) {
  return std::string("09") + code + Name(station) + Name(point) + Number(slope) + Number(zenith) +
         Number("12.3456") + "CODE\r\n";
}

TEST(ReadSdr, RecordsAsSokkiaCollectorsWriteThem) {
  struct Row {
    const char* what;
    std::string sdr;
    std::string book;
    int angle_only = 0;
    int means = 0;
  };
  const Row rows[] = {
      {"degrees and metres; a station, its backsight, face readings; MC beside them passed "
       "over; notes and coordinates passed over",
       Header() + "13NMa note\r\n" + StationRecord("STN1") + Backsight("STN1", "BM1") +
           TargetHeight("1.500") + Obs("F1", "STN1", "BM1", "48.2142", "89.92083333") +
           Obs("F2", "STN1", "BM1", "48.2138", "270.08083333") +
           Obs("MC", "STN1", "BM1", "48.2140", "89.92") + "08KI" + Name("TP1") + Number("5000") +
           Number("5000") + "\r\n" + Obs("F1", "STN1", "TP1", "47.905", "90.5"),
       "STN1 bs=BM1: BM1 323715.0 48.2142 1.5000; BM1 972291.0 48.2138 1.5000; TP1 325800.0 "
       "47.9050 1.5000"},
      {"gon and feet; a mean used where no face reading of the point is kept; target heights "
       "carried",
       Header('2', '2') + StationRecord("A") + TargetHeight("5") +
           Obs("MC", "A", "P1", "100", "100") + Obs("F1", "A", "P2", "100", "100") +
           TargetHeight("6.0") + Obs("F1", "A", "P3", "100", "100.0000"),
       "A: P1 324000.0 30.4800 1.5240; P2 324000.0 30.4800 1.5240; P3 324000.0 30.4800 1.8288", 0,
       1},
      {"mil; an observation naming another station starts a setup there; keyed-in and "
       "angle-only observations",
       Header('3') + StationRecord("A") + TargetHeight("1.5") + Obs("F1", "A", "P1", "10", "1600") +
           Obs("F1", "B", "P1", "10", "1600") + Obs("KI", "B", "P9", "10", "1600") +
           Obs("F1", "B", "P2", "", "1600") + Obs("F1", "B", "P3", "10", "1600"),
       "A: P1 324000.0 10.0000 1.5000 | B: P1 324000.0 10.0000 1.5000; P3 324000.0 10.0000 "
       "1.5000",
       1},
      {"two station records in a row: the second stands; trailing blanks trimmed by an editor",
       Header() + StationRecord("WRONG") + StationRecord("S") + TargetHeight("1.5") + "09F1" +
           Name("S") + Name("P1") + Number("10") + "90\r\n",
       "S: P1 324000.0 10.0000 1.5000"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    FieldBook book;
    try {
      book = ReadSdr(row.sdr);
    } catch (const ConvertError& error) {
      ADD_FAILURE() << error.what();
      continue;
    }
    EXPECT_EQ(BookText(book), row.book);
    EXPECT_EQ(book.angle_only, row.angle_only);
    EXPECT_EQ(book.means, row.means);
  }
  EXPECT_EQ(ReadSdr(rows[1].sdr).units, Units::kFeet);
  EXPECT_EQ(ReadSdr(rows[1].sdr).units_read, "international feet, zenith angles in gon");
}

TEST(ReadSdr, RefusalsNameTheLineAndWhatWasExpected) {
  const std::string setup = Header() + StationRecord("S") + TargetHeight("1.5");
  struct Row {
    const char* what;
    std::string sdr;
    const char* message;
  };
  const Row rows[] = {
      {"no header first", StationRecord("S"),
       "line 1: an SDR33 file starts with its header record (00NMSDR33 ...); this line is a "
       "record of type \"02\"."},
      {"a short header", "00NMSDR33  V04-04.34\r\n",
       "line 1: the header record (00) is 20 characters long; expected at least 42"},
      {"an angle unit SDR33 does not define", Header('7'),
       "line 1: the header's angle unit (column 41) is \"7\"; expected 1 (degrees), 2 (gon) or 3 "
       "(mil)."},
      {"a distance unit SDR33 does not define", Header('1', '3'),
       "line 1: the header's distance unit (column 42) is \"3\"; expected 1 (metres) or 2 "
       "(feet)."},
      {"point numbers of 4 digits",
       "00NMSDR2X  V03-05.02    30-Nov-26 08:02 111121\r\n10NMLEVELS          221111\r\n",
       "line 2: the job record gives point IDs of 4 digits (column 21 is \"2\"); quarrow-convert "
       "reads the SDR33 layout"},
      {"no target height yet", Header() + StationRecord("S") + Obs("F1", "S", "P1", "10", "90"),
       "line 4: point \"P1\" is observed before any target height record (03) gave the rod "
       "height."},
      {"a slope distance without a zenith", setup + Obs("F1", "S", "P1", "10", ""),
       "line 5: point \"P1\" has a slope distance but no zenith angle (columns 53-68)."},
      {"a short observation", setup + "09F1" + Name("S") + "\r\n",
       "line 5: the observation record (09) is 20 characters long; expected at least 36"},
      {"letters in a zenith", setup + Obs("F1", "S", "P1", "10", "9O.5"),
       "line 5: the zenith angle \"9O.5\" is not a number"},
      {"a negative slope distance", setup + Obs("F1", "S", "P1", "-10", "90"),
       "line 5: the slope distance \"-10\" is not a positive distance."},
      {"coordinates only",
       Header() + "08KI" + Name("A") + Number("1") + Number("2") + "\r\n" + "08KI" + Name("B") +
           "\r\n",
       "line 3: the file holds only coordinates (2 points, the first on this line, keyed in, "
       "imported or computed), and no total-station observation; a level run needs stations (02 "
       "records) with observations (09 records)"},
      {"angles only", setup + Obs("F1", "S", "P1", "", "90"),
       "line 5: the file's total-station readings (1 reading) are all angle-only, without a "
       "slope distance;"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string message = RefusalOf([&] { ReadSdr(row.sdr); });
    EXPECT_NE(message.find(row.message), std::string::npos) << message;
  }
}

TEST(ReadSdr, ASurveyFromOneStationOnAMarkIsSaidToBeOne) {
  const std::string sdr = Header() + "08KI" + Name("CP1") + Number("5000") + Number("5000") +
                          "\r\n" + StationRecord("CP1") + Backsight("CP1", "CP2") +
                          TargetHeight("1.5") + Obs("F1", "CP1", "CP2", "80", "90") +
                          Obs("F1", "CP1", "TREE", "12", "91");
  const std::string message = RefusalOf([&] { Convert(sdr, {}); });
  EXPECT_NE(message.find("line 4: this file holds one setup, standing on the point \"CP1\" that "
                         "the file also holds, and observing 2 points"),
            std::string::npos)
      << message;
}

TEST(LooksLikeSdr, RecognisesTheHeaderAndNothingElse) {
  EXPECT_TRUE(LooksLikeSdr(Header()));
  EXPECT_TRUE(LooksLikeSdr("\r\n00NMSDR33  V04"));
  EXPECT_FALSE(LooksLikeSdr("00NMSD"));
  EXPECT_FALSE(LooksLikeSdr("00NMGSI33  V04-04.34"));
  EXPECT_FALSE(LooksLikeSdr("02TP            STN1"));
  EXPECT_FALSE(LooksLikeSdr("110001+00000BM1 22.104+09000000"));
  EXPECT_FALSE(LooksLikeSdr(""));
}

}  // namespace
}  // namespace quarrow
