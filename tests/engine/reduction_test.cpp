#include "engine/reduction.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/fake_platform.h"

namespace quarrow {
namespace {

RunState WithLine(const std::string& fields) {
  RunState rs;
  rs.DegreeMark = '\xb0';
  rs.LineBuffer = fields;
  for (char& c : rs.LineBuffer) c = c == '~' ? '\xb0' : c;
  return rs;
}

TEST(ReadBacksight, CarriesTheElevationToTheInstrument) {
  RunState rs = WithLine("BM1,89~00'00,50,1.5");
  rs.BsElev = 100;
  ReadBacksight(rs);
  EXPECT_EQ(rs.BsName, "BM1");
  EXPECT_EQ(rs.FirstMark, "BM1");
  EXPECT_NEAR(rs.BsVd, 0.87262, 5e-6);
  EXPECT_NEAR(rs.BsHd, 49.99238, 5e-6);
  EXPECT_NEAR(rs.Hi, 100.62738, 5e-6);

  rs.LineBuffer =
      "TP1,91\xb0"
      "00'00,40,1.5";
  ReadForesight(rs);
  EXPECT_EQ(rs.FsName, "TP1");
  EXPECT_NEAR(rs.FsVd, -0.69810, 5e-6);
  EXPECT_NEAR(rs.Elev, 98.42928, 5e-6);
}

TEST(ReadBacksight, LevelSightAndEmptyFields) {
  RunState rs = WithLine("BM1,90~,25.5,1.25");
  rs.BsElev = 10;
  ReadBacksight(rs);
  EXPECT_EQ(rs.BsVd, 0);
  EXPECT_EQ(rs.BsHd, 25.5);
  EXPECT_EQ(rs.Hi, 11.25);

  // An empty zenith reads as zenith 0: straight up, nearly no distance.
  rs.LineBuffer = "X,,10,0";
  ReadForesight(rs);
  EXPECT_NEAR(rs.FsVd, 10, 1e-12);
  EXPECT_NE(rs.FsHd, 0);
  EXPECT_NEAR(rs.FsHd, 0, 1e-12);

  // A missing slope distance: only the rod height moves the elevation.
  rs.LineBuffer = "Y";
  ReadForesight(rs);
  EXPECT_EQ(rs.FsHd, 0);
  EXPECT_EQ(rs.Elev, rs.Hi);
}

}  // namespace
}  // namespace quarrow
