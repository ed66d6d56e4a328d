#pragma once

// Angles and lengths as the text formats write them, read from their digits
// so that nothing a float would round is lost: 89.5512 in degrees, minutes
// and seconds is 89°55'12" exactly, never 89°55'11.99...". Every unit a
// collector offers for a zenith angle and a distance is here; each reader
// says which of them its file names.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/units.h"

namespace quarrow {

// The US survey foot, 1200/3937 m, in which much of the United States
// records its surveys; the international foot (kMetresPerFoot) is 0.3048 m.
inline constexpr double kMetresPerUsSurveyFoot = 1200.0 / 3937.0;

enum class LengthUnit { kMetre, kInternationalFoot, kUsSurveyFoot };

// The units of a field file whose lengths the survey gives in `unit`:
// metres, or feet of either kind.
inline Units FieldFileUnits(LengthUnit unit) {
  return unit == LengthUnit::kMetre ? Units::kMetric : Units::kFeet;
}

enum class AngleUnit {
  kDecimalDegree,
  kPackedDms,  // DDD.MMSSs: degrees, then two digits of minutes, two of seconds, decimals
  kGon,        // 400 to the circle
  kMil,        // 6400 to the circle
  kRadian,
};

// A number as written: an optional sign, digits with an optional decimal
// point, an optional exponent. Its value is digits / 10^scale, held
// exactly; more than 18 significant digits are not a measurement.
struct DecimalText {
  bool negative = false;
  std::int64_t digits = 0;
  int scale = 0;
  std::string_view whole;     // the digits before the point, as written
  std::string_view decimals;  // those after it; empty without a point
  bool exponent = false;
};

std::optional<DecimalText> ParseDecimal(std::string_view text);

double DecimalValue(const DecimalText& number);

// Reads `text` (blanks around it allowed) as a number, or throws
// ConvertError: "<place>: the <what> "<text>" is not a number; expected
// digits with a "." decimal point."
DecimalText NumberAt(std::string_view text, const std::string& place, const std::string& what);

// A zenith angle in seconds of arc. Throws ConvertError naming `place` and
// `what` for text that is no number, a negative angle, packed minutes or
// seconds of 60 or more (or a packed angle with an exponent), and a full
// circle or more.
double ZenithSeconds(std::string_view text, AngleUnit unit, const std::string& place,
                     const std::string& what);

// A length in metres, in `unit`; negative lengths stay negative (a rod held
// upside down), the readers refuse them where they make no sense.
double LengthMetres(std::string_view text, LengthUnit unit, const std::string& place,
                    const std::string& what);

// For the summary: "metres", "international feet", "US survey feet"; "gon",
// "decimal degrees", "degrees, minutes and seconds", "mil", "radians".
const char* LengthUnitName(LengthUnit unit);
const char* AngleUnitName(AngleUnit unit);
std::string UnitsText(LengthUnit length, AngleUnit angle);

}  // namespace quarrow
