// Angles and lengths read from their digits: every unit the raw formats
// use, the values a float would round, and each refusal.

#include "convert/survey_units.h"

#include <gtest/gtest.h>

#include "convert/field_book.h"

namespace quarrow {
namespace {

TEST(ZenithSeconds, EveryUnitFromItsDigits) {
  struct Row {
    const char* text;
    AngleUnit unit;
    double seconds;
  };
  const Row rows[] = {
      {"89.5512", AngleUnit::kPackedDms, 323712},     // 89°55'12"
      {"89.55123", AngleUnit::kPackedDms, 323712.3},  // tenths after the seconds
      {"89.5959999", AngleUnit::kPackedDms, 323999.999},
      {"270.0451", AngleUnit::kPackedDms, 972291},  // face II as read
      {"89.5", AngleUnit::kPackedDms, 323400},      // short decimals: 89°50'
      {"90", AngleUnit::kPackedDms, 324000},
      {"  90.0000 ", AngleUnit::kPackedDms, 324000},  // padding blanks
      {"89.92083333", AngleUnit::kDecimalDegree, 323714.999988},
      {"90.5", AngleUnit::kDecimalDegree, 325800},
      {"99.75", AngleUnit::kGon, 323190},
      {"100", AngleUnit::kGon, 324000},
      {"1600", AngleUnit::kMil, 324000},
      {"1.5707963267948966", AngleUnit::kRadian, 324000},
      {"+9.0E1", AngleUnit::kDecimalDegree, 324000},  // an XML double
      {"-0", AngleUnit::kGon, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_NEAR(ZenithSeconds(row.text, row.unit, "line 1", "zenith"), row.seconds, 1e-6);
  }
  // Deliberate: through a float, 89.59599 would split into 89°59'59.89...".
  EXPECT_DOUBLE_EQ(ZenithSeconds("89.59599", AngleUnit::kPackedDms, "line 1", "zenith"),
                   3239999 / 10.0);
}

TEST(ZenithSeconds, RefusalsNameThePlaceAndTheText) {
  struct Row {
    const char* text;
    AngleUnit unit;
    const char* message;
  };
  const Row rows[] = {
      {"89.6000", AngleUnit::kPackedDms,
       "line 7: the ZE \"89.6000\" has minutes or seconds of 60 or more; expected degrees, "
       "minutes and seconds as DDD.MMSS."},
      {"89.5960", AngleUnit::kPackedDms, "minutes or seconds of 60 or more"},
      {"9.0E1", AngleUnit::kPackedDms, "has an exponent"},
      {"-1.5", AngleUnit::kGon, "line 7: the ZE \"-1.5\" is negative"},
      {"360", AngleUnit::kDecimalDegree, "is a full circle or more"},
      {"400", AngleUnit::kGon, "is a full circle or more"},
      {"6400", AngleUnit::kMil, "is a full circle or more"},
      {"1e9999", AngleUnit::kDecimalDegree, "is a full circle or more"},
      {"9O.5", AngleUnit::kPackedDms,
       "line 7: the ZE \"9O.5\" is not a number; expected digits with a \".\" decimal point."},
      {"", AngleUnit::kPackedDms, "the ZE \"\" is not a number"},
      {"90,5", AngleUnit::kDecimalDegree, "is not a number"},
      {"1.2.3", AngleUnit::kDecimalDegree, "is not a number"},
      {".", AngleUnit::kDecimalDegree, "is not a number"},
      {"1234567890123456789", AngleUnit::kDecimalDegree, "is not a number"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    try {
      ZenithSeconds(row.text, row.unit, "line 7", "ZE");
      ADD_FAILURE() << "accepted";
    } catch (const ConvertError& error) {
      EXPECT_NE(std::string(error.what()).find(row.message), std::string::npos) << error.what();
    }
  }
}

TEST(LengthMetres, EveryFootAndTheMetre) {
  struct Row {
    const char* text;
    LengthUnit unit;
    double metres;
  };
  const Row rows[] = {
      {"52.114", LengthUnit::kMetre, 52.114},
      {"100", LengthUnit::kInternationalFoot, 30.48},
      {"3937", LengthUnit::kUsSurveyFoot, 1200},  // the survey foot's definition
      {"-1.5", LengthUnit::kMetre, -1.5},         // a rod held upside down
      {"0.000", LengthUnit::kMetre, 0},
      {"0000048.2142", LengthUnit::kMetre, 48.2142},  // padding zeros carry nothing
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_NEAR(LengthMetres(row.text, row.unit, "line 1", "SD"), row.metres, 1e-12);
  }
  EXPECT_NE(LengthMetres("1", LengthUnit::kUsSurveyFoot, "l", "SD"),
            LengthMetres("1", LengthUnit::kInternationalFoot, "l", "SD"));
  EXPECT_THROW(LengthMetres("1e400", LengthUnit::kMetre, "l", "SD"), ConvertError);
  EXPECT_THROW(LengthMetres("5l.880", LengthUnit::kMetre, "l", "SD"), ConvertError);
}

TEST(UnitsText, NamesLengthAndAngle) {
  EXPECT_EQ(UnitsText(LengthUnit::kUsSurveyFoot, AngleUnit::kGon),
            "US survey feet, zenith angles in gon");
  EXPECT_EQ(UnitsText(LengthUnit::kMetre, AngleUnit::kPackedDms),
            "metres, zenith angles in degrees, minutes and seconds");
}

}  // namespace
}  // namespace quarrow
