// GTS-7 records one rule at a time: the units, setups, the headers that
// name the point and its role, target heights carried, SD readings, and each
// refusal naming its line.

#include "convert/gts7_reader.h"

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

TEST(ReadGts7, RecordsAsTopconWritesThem) {
  struct Row {
    const char* what;
    std::string gt7;
    std::string book;
    int angle_only = 0;
  };
  const Row rows[] = {
      {"metres and DMS; roles from BS and FS; both faces; coordinates and settings passed over",
       Lines({"JOB     KESTREL,levels", "INST    GTS-7", "UNITS   M,D", "STN     STN1,1.550,",
              "XYZ     0.000,0.000,0.000", "BKB     BM1,0.0000,0.0000", "BS      BM1,1.500,BM",
              "SD      0.0000,89.5512,48.2142", "SD      180.0000,270.0451,48.2138",
              "SS      TREE,,", "SD      45.0000,91.1240,22.418", "FS      TP1,1.600,TP",
              "SD      181.0000,90.0320,47.905", "CTL     0"}),
       "STN1 bs=BM1: BM1 323712.0 48.2142 1.5000 B; BM1 972291.0 48.2138 1.5000; TREE 328360.0 "
       "22.4180 1.5000; TP1 324200.0 47.9050 1.6000 F"},
      {"feet and gon; target heights on TH lines; angles without a distance counted",
       Lines({"UNITS   F,G", "STN     A,5.0,", "TH      5", "SS      P1,,", "SD      0,100,100",
              "HV      0,100.5", "TH      6.0", "SS      P2", "SD      0,100,100"}),
       "A: P1 324000.0 30.4800 1.5240; P2 324000.0 30.4800 1.8288", 1},
      {"a setup given again before any reading replaces the first; tabs and no padding",
       Lines({"UNITS M,D", "STN\tWRONG,1.5", "STN\tS,1.5", "SS\tP1,1.5", "SD\t0,90,10"}),
       "S: P1 324000.0 10.0000 1.5000"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    FieldBook book;
    try {
      book = ReadGts7(row.gt7);
    } catch (const ConvertError& error) {
      ADD_FAILURE() << error.what();
      continue;
    }
    EXPECT_EQ(BookText(book), row.book);
    EXPECT_EQ(book.angle_only, row.angle_only);
  }
  EXPECT_EQ(ReadGts7(rows[1].gt7).units_read, "international feet, zenith angles in gon");
}

TEST(ReadGts7, RefusalsNameTheLineAndWhatWasExpected) {
  const std::string setup = Lines({"UNITS   M,D", "STN     S,1.5,", "SS      P1,1.5,"});
  struct Row {
    const char* what;
    std::string gt7;
    const char* message;
  };
  const Row rows[] = {
      {"a length unit it does not know", Lines({"UNITS   Y,D"}),
       "line 1: the length unit is \"Y\"; expected UNITS M (metres) or F (feet), then the angle "
       "unit."},
      {"an angle unit it does not know", Lines({"UNITS   M,R"}),
       "line 1: the angle unit is \"R\"; expected D (degrees, minutes and seconds as DDD.MMSS) "
       "or G (gon) after the length unit."},
      {"no units", Lines({"STN     S,1.5,", "SS      P1,1.5,"}),
       "line 2: the target height comes before any UNITS line gives the units"},
      {"a header before any setup", Lines({"UNITS   M,D", "BS      P1,1.5,"}),
       "line 2: a BS line comes before any STN line says where the instrument stands."},
      {"a reading before any header", Lines({"UNITS   M,D", "STN     S,1.5,", "SD      0,90,10"}),
       "line 3: an SD line comes before any BS, FS or SS line names the point it sights."},
      {"a horizontal distance and height difference", setup + "HD      0,10,0.5\r\n",
       "line 4: an HD line gives a horizontal distance and a height difference, not the zenith "
       "angle as measured; a level run needs SD lines"},
      {"no target height yet",
       Lines({"UNITS   M,D", "STN     S,1.5,", "SS      P1,,", "SD      0,90,10"}),
       "line 4: point \"P1\" is observed before any target height was recorded (in its BS, FS or "
       "SS line, or a TH line)."},
      {"a slope distance without a zenith", setup + "SD      0,,10\r\n",
       "line 4: point \"P1\" has a slope distance but no zenith angle"},
      {"sixty seconds", setup + "SD      0,89.5960,10\r\n",
       "line 4: the zenith angle \"89.5960\" has minutes or seconds of 60 or more"},
      {"coordinates only", Lines({"UNITS   M,D", "NEZ     1,2,3", "XYZ     1,2,3"}),
       "line 2: the file holds only coordinates (2 points, the first on this line,"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string message = RefusalOf([&] { ReadGts7(row.gt7); });
    EXPECT_NE(message.find(row.message), std::string::npos) << message;
  }
}

TEST(LooksLikeGts7, RecognisesKeywordsAndNothingElse) {
  EXPECT_TRUE(LooksLikeGts7("JOB     KESTREL,\r\n"));
  EXPECT_TRUE(LooksLikeGts7("\r\nUNITS\tM,D\n"));
  EXPECT_TRUE(LooksLikeGts7("STN S1,1.5"));
  EXPECT_FALSE(LooksLikeGts7("JOBS    X"));
  EXPECT_FALSE(LooksLikeGts7("JB,NMJOB"));
  EXPECT_FALSE(LooksLikeGts7("00NMSDR33"));
  EXPECT_FALSE(LooksLikeGts7(""));
}

}  // namespace
}  // namespace quarrow
