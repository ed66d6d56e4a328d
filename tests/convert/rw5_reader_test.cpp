// RW5 records one rule at a time: the mode's units, occupations, rods
// carried by LS, the roles of BD/BR/FD/FR, notes, horizontal distances, and
// each refusal naming its line.

#include "convert/rw5_reader.h"

#include <gtest/gtest.h>

#include "convert/converter.h"
#include "tests/convert/book_text.h"

namespace quarrow {
namespace {

using testing_support::BookText;
using testing_support::RefusalOf;

std::string Lines(std::initializer_list<const char*> lines) {
  std::string text;
  for (const char* line : lines) text += std::string(line) + "\r\n";
  return text;
}

const char* const kMetresDms = "MO,AD0,UN1,SF1.00000000,EC1,EO0.0,AU0";

TEST(ReadRw5, RecordsAsCollectorsWriteThem) {
  struct Row {
    const char* what;
    std::string rw5;
    std::string book;
    int angle_only = 0;
  };
  const Row rows[] = {
      {"metres and DMS, roles from BD and FD, the backsight from BK",
       Lines({kMetresDms, "OC,OPSTN1,N 5000.000,E 5000.000,EL0.000", "LS,HI1.550,HR1.500",
              "BK,OPSTN1,BPBM1,BS0.00000,BC0.00000",
              "BD,OPSTN1,FPBM1,AR0.00000,ZE89.5512,SD48.2142,--BM",
              "BR,OPSTN1,FPBM1,AR180.00000,ZE270.0451,SD48.2138",
              "SS,OPSTN1,FPTREE,AR45.0000,ZE91.1240,SD22.418", "FD,OPSTN1,FPTP1,ZE90.0320,SD47.905",
              "TR,OPSTN1,FPTP9,ZE90.0001,SD47.9"}),
       "STN1 bs=BM1: BM1 323712.0 48.2142 1.5000 B; BM1 972291.0 48.2138 1.5000; TREE 328360.0 "
       "22.4180 1.5000; TP1 324200.0 47.9050 1.5000 F; TP9 324001.0 47.9000 1.5000"},
      {"US survey feet and gon, then the mode changes to metres and DMS",
       Lines({"MO,AD0,UN2,SF1.00000000,EC1,EO0.0,AU1", "OC,OPA", "LS,HR3937",
              "SS,OPA,FPP1,ZE100.0000,SD3937", kMetresDms, "SS,OPA,FPP2,ZE90.0000,SD10"}),
       "A: P1 324000.0 1200.0000 1200.0000; P2 324000.0 10.0000 1200.0000"},
      {"the rod carried across setups until an LS gives another; HI alone keeps it",
       Lines({kMetresDms, "OC,OPS1", "LS,HI1.5,HR1.800", "SS,OPS1,FPA,ZE90,SD10", "OC,OPS2",
              "LS,HI1.6", "SS,OPS2,FPB,ZE90,SD10", "LS,HR2.0", "SS,OPS2,FPC,ZE90,SD10"}),
       "S1: A 324000.0 10.0000 1.8000 | S2: B 324000.0 10.0000 1.8000; C 324000.0 10.0000 2.0000"},
      {"comments, notes holding commas, job, stored points and unknown records passed over",
       Lines({"--SurvCE Version 6.0", kMetresDms, "JB,NMJOB,DT11-30-2026", "SP,PN9,N 1,E 2,EL3",
              "OC,OPS1,--a note, with a comma", "LS,HR1.5", "CB,XX1",
              "SS,OPS1,FPA,ZE90,SD10,--FENCE, POST", "  --an indented comment",
              "SS,OPS1,FPB,ZE90,SD10"}),
       "S1: A 324000.0 10.0000 1.5000; B 324000.0 10.0000 1.5000"},
      {"a horizontal distance becomes a slope distance with the zenith, in either face",
       Lines({kMetresDms, "OC,OPS1", "LS,HR1.5", "SS,OPS1,FPA,ZE60.0000,HD86.6025403784",
              "SS,OPS1,FPA,ZE300.0000,HD86.6025403784,VD50.0"}),
       "S1: A 216000.0 100.0000 1.5000; A 1080000.0 100.0000 1.5000"},
      {"a shot without a distance is angle-only; an occupation given again before any shot "
       "replaces the first",
       Lines({kMetresDms, "OC,OPWRONG", "OC,OPS1", "LS,HR1.5", "SS,OPS1,FPA,ZE90,SD10",
              "SS,OPS1,FPFENCE,AR12.0000,ZE91.0000", "SS,OPS1,FPPOLE,AR13.0000"}),
       "S1: A 324000.0 10.0000 1.5000", 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    FieldBook book;
    try {
      book = ReadRw5(row.rw5);
    } catch (const ConvertError& error) {
      ADD_FAILURE() << error.what();
      continue;
    }
    EXPECT_EQ(BookText(book), row.book);
    EXPECT_EQ(book.angle_only, row.angle_only);
    EXPECT_EQ(book.kind, "RW5");
  }
  const FieldBook survey_feet = ReadRw5(rows[1].rw5);
  EXPECT_EQ(survey_feet.units, Units::kFeet);
  EXPECT_TRUE(survey_feet.us_survey_feet);
  EXPECT_EQ(survey_feet.units_read, "US survey feet, zenith angles in gon");
  EXPECT_EQ(ReadRw5(rows[0].rw5).units, Units::kMetric);
}

TEST(ReadRw5, RefusalsNameTheLineAndWhatWasExpected) {
  const std::string setup = Lines({kMetresDms, "OC,OPS1", "LS,HR1.5"});
  struct Row {
    const char* what;
    std::string rw5;
    const char* message;  // a part of the message
  };
  const Row rows[] = {
      {"no mode record", Lines({"OC,OPS1", "LS,HR1.5"}),
       "line 2: the rod height (HR) comes before any mode record (MO) gives the distance unit; "
       "expected MO with UN0, UN1 or UN2 at the start of the file."},
      {"a distance unit RW5 does not define", Lines({"MO,AD0,UN7,AU0"}),
       "line 1: the mode record's distance unit is UN7; expected UN0 (international feet), UN1 "
       "(metres) or UN2 (US survey feet)."},
      {"an angle unit RW5 does not define", Lines({"MO,AD0,UN1,AU2"}),
       "line 1: the mode record's angle unit is AU2; expected AU0"},
      {"a shot before any occupation", Lines({kMetresDms, "SS,OPS1,FPA,ZE90,SD10"}),
       "line 2: a shot (SS) comes before any occupy record (OC) says where the instrument "
       "stands."},
      {"an occupation without its point", Lines({kMetresDms, "OC,N 5000.000"}),
       "line 2: the occupy record (OC) names no point (OP)."},
      {"a shot without its point", setup + "SS,OPS1,ZE90,SD10\r\n",
       "line 4: the shot (SS) names no point; expected FP with the point sighted."},
      {"a slope distance without a zenith", setup + "SS,OPS1,FPA,SD10\r\n",
       "line 4: point \"A\" has no zenith angle (ZE). Expected ZE with SD (or HD) in every shot; "
       "set the collector to record zenith angles."},
      {"a vertical angle instead of a zenith", setup + "SS,OPS1,FPA,VA1.0000,SD10\r\n",
       "line 4: point \"A\" has no zenith angle (ZE); it gives a vertical angle or a difference "
       "in elevation (VA, CE or VD), which is no measured zenith."},
      {"an HD and VD pair without a zenith", setup + "SS,OPS1,FPA,HD10,VD1\r\n",
       "line 4: point \"A\" has no zenith angle (ZE)"},
      {"a shot from another point than the occupied one",
       setup + "SS,OPS1,FPA,ZE90,SD10\r\nSS,OPS7,FPB,ZE90,SD10\r\n",
       "line 5: the shot is taken from point \"S7\", but the instrument stands on point \"S1\" "
       "(the occupy record on line 2); expected an OC record before the shots of a new setup."},
      {"a shot before any rod height", Lines({kMetresDms, "OC,OPS1", "SS,OPS1,FPA,ZE90,SD10"}),
       "line 3: point \"A\" is observed before any rod height (HR, in an LS record) was "
       "recorded."},
      {"an off-centre shot", setup + "SS,OPS1,FPA,ZE90,SD10\r\nOF,AR90.3333,ZE90.0000,SD25.5\r\n",
       "line 5: an off-centre shot (OF) moves the shot before it by an offset"},
      {"a slope distance of zero", setup + "SS,OPS1,FPA,ZE90,SD0.000\r\n",
       "line 4: the slope distance SD \"0.000\" is not a positive distance."},
      {"letters in a distance", setup + "SS,OPS1,FPA,ZE90,SD4a.5\r\n",
       "line 4: the slope distance SD \"4a.5\" is not a number"},
      {"sixty minutes", setup + "SS,OPS1,FPA,ZE89.6000,SD10\r\n",
       "line 4: the zenith angle ZE \"89.6000\" has minutes or seconds of 60 or more"},
      {"stored points only", Lines({kMetresDms, "SP,PN1,N 1,E 2,EL3", "SP,PN2,N 1,E 2,EL3"}),
       "line 2: the file holds only coordinates (2 points, the first on this line, keyed in, "
       "imported or computed), and no total-station observation; a level run needs setups (OC "
       "records) with shots giving a zenith angle (ZE) and a slope distance (SD) to its "
       "points."},
      {"GNSS positions only", Lines({kMetresDms, "GPS,PN1,LA40.0,LN-105.0,EL1500", "SP,PN2"}),
       "line 2: the file holds only GNSS observations (1 point, measured by a GNSS receiver) "
       "and coordinates (1 point), and no total-station observation;"},
      {"angles only", setup + "SS,OPS1,FPA,AR1.0,ZE90\r\nSS,OPS1,FPB,ZE91\r\n",
       "line 4: the file's total-station readings (2 readings, the first on this line) are all "
       "angle-only, without a distance (SD or HD);"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string message = RefusalOf([&] { ReadRw5(row.rw5); });
    EXPECT_NE(message.find(row.message), std::string::npos) << message;
  }
}

TEST(ReadRw5, WhatIsNoLevelRunIsSaidToBeSo) {
  struct Row {
    const char* what;
    std::string rw5;
    const char* message;
  };
  const Row rows[] = {
      {"a traverse",
       Lines({kMetresDms, "OC,OPSTN1", "LS,HR1.5", "BK,OPSTN1,BPRM1", "BD,OPSTN1,FPRM1,ZE90,SD80",
              "TR,OPSTN1,FPSTN2,ZE90,SD120", "OC,OPSTN2", "BK,OPSTN2,BPSTN1",
              "BD,OPSTN2,FPSTN1,ZE90,SD120", "TR,OPSTN2,FPSTN3,ZE90,SD95"}),
       "line 7: this file is a traverse, not a level run: every setup backsights the point the "
       "setup before it stood on (setup 2 at \"STN2\" backsights \"STN1\")"},
      {"a topographic survey from a stored point",
       Lines({kMetresDms, "SP,PNCP1,N 5000,E 5000,EL100", "OC,OPCP1", "LS,HR1.5", "BK,OPCP1,BPCP2",
              "BD,OPCP1,FPCP2,ZE90,SD80", "SS,OPCP1,FPTREE,ZE90,SD12",
              "SS,OPCP1,FPKERB,ZE90,SD14"}),
       "line 3: this file holds one setup, standing on the point \"CP1\" that the file also "
       "holds, and observing 3 points: a survey from one station (a topographic or stakeout "
       "job), not a level run."},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string message = RefusalOf([&] { Convert(row.rw5, {}); });
    EXPECT_NE(message.find(row.message), std::string::npos) << message;
  }
}

TEST(LooksLikeRw5, RecognisesRecordsAndNothingElse) {
  EXPECT_TRUE(LooksLikeRw5("JB,NMJOB,DT11-30-2026\r\n"));
  EXPECT_TRUE(LooksLikeRw5("--SurvCE Version 6.0\r\n\r\nMO,AD0,UN1\r\n"));
  EXPECT_TRUE(LooksLikeRw5("OC,OP1,N 5000.00,E 5000.00\n"));
  EXPECT_FALSE(LooksLikeRw5("--only a comment\r\n"));
  EXPECT_FALSE(
      LooksLikeRw5("1,BM1,89\xb0"
                   "58'30,52.114,1.500\r\n"));
  EXPECT_FALSE(LooksLikeRw5("JOB     KESTREL,\r\n"));
  EXPECT_FALSE(LooksLikeRw5("110001+00000BM1 22.104+09000000"));
  EXPECT_FALSE(LooksLikeRw5(""));
}

}  // namespace
}  // namespace quarrow
