#include "convert/survey_units.h"

#include <cmath>

#include "convert/field_book.h"
#include "convert/text_lines.h"
#include "engine/units.h"

namespace quarrow {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

constexpr int kMostDigits = 18;

double PowerOfTen(int exponent) { return std::pow(10.0, exponent); }

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

[[noreturn]] void Refuse(const std::string& place, const std::string& what, std::string_view text,
                         const std::string& why) {
  throw ConvertError(place + ": the " + what + " " + Quoted(TrimBlanks(text)) + " " + why);
}

}  // namespace

std::optional<DecimalText> ParseDecimal(std::string_view text) {
  DecimalText number;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    number.negative = text[i] == '-';
    ++i;
  }
  const std::size_t whole_start = i;
  while (i < text.size() && IsDigit(text[i])) ++i;
  number.whole = text.substr(whole_start, i - whole_start);
  if (i < text.size() && text[i] == '.') {
    const std::size_t start = ++i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    number.decimals = text.substr(start, i - start);
  }
  if (number.whole.empty() && number.decimals.empty()) return std::nullopt;
  int exponent = 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    bool negative_exponent = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative_exponent = text[i++] == '-';
    const std::size_t start = i;
    while (i < text.size() && IsDigit(text[i]) && i - start < 4) {
      exponent = exponent * 10 + (text[i] - '0');
      ++i;
    }
    if (i == start) return std::nullopt;
    if (negative_exponent) exponent = -exponent;
    number.exponent = true;
  }
  if (i != text.size()) return std::nullopt;

  int significant = 0;
  for (std::string_view part : {number.whole, number.decimals}) {
    for (char c : part) {
      if (significant == 0 && c == '0') continue;  // leading zeros carry nothing
      if (++significant > kMostDigits) return std::nullopt;
    }
  }
  for (std::string_view part : {number.whole, number.decimals}) {
    for (char c : part) number.digits = number.digits * 10 + (c - '0');
  }
  number.scale = static_cast<int>(number.decimals.size()) - exponent;
  return number;
}

double DecimalValue(const DecimalText& number) {
  const double magnitude = number.scale >= 0
                               ? static_cast<double>(number.digits) / PowerOfTen(number.scale)
                               : static_cast<double>(number.digits) * PowerOfTen(-number.scale);
  return number.negative ? -magnitude : magnitude;
}

DecimalText NumberAt(std::string_view text, const std::string& place, const std::string& what) {
  const std::optional<DecimalText> number = ParseDecimal(TrimBlanks(text));
  if (!number)
    Refuse(place, what, text, "is not a number; expected digits with a \".\" decimal point.");
  return *number;
}

double ZenithSeconds(std::string_view text, AngleUnit unit, const std::string& place,
                     const std::string& what) {
  const DecimalText number = NumberAt(text, place, what);
  if (number.negative && number.digits != 0) {
    Refuse(place, what, text, "is negative; a zenith angle is 0 to 360 degrees.");
  }
  double seconds = 0;
  switch (unit) {
    case AngleUnit::kDecimalDegree:
      seconds = DecimalValue(number) * 3600.0;
      break;
    case AngleUnit::kGon:
      seconds = DecimalValue(number) * 3240.0;
      break;
    case AngleUnit::kMil:
      seconds = DecimalValue(number) * 202.5;
      break;
    case AngleUnit::kRadian:
      seconds = DecimalValue(number) * (kHalfCircleSeconds / 3.14159265358979323846);
      break;
    case AngleUnit::kPackedDms: {
      if (number.exponent) {
        Refuse(place, what, text, "has an exponent; degrees, minutes and seconds are DDD.MMSS.");
      }
      // The decimals are MMSS and then decimals of a second; short ones are
      // padded on the right (89.5 is 89°50').
      std::string decimals(number.decimals);
      if (decimals.size() < 4) decimals.resize(4, '0');
      const int minutes = (decimals[0] - '0') * 10 + (decimals[1] - '0');
      const int whole_seconds = (decimals[2] - '0') * 10 + (decimals[3] - '0');
      if (minutes >= 60 || whole_seconds >= 60) {
        Refuse(place, what, text,
               "has minutes or seconds of 60 or more; expected degrees, minutes and seconds as "
               "DDD.MMSS.");
      }
      std::int64_t degrees = 0;
      for (char c : number.whole) {
        degrees = degrees * 10 + (c - '0');
        if (degrees > 1000) break;
      }
      std::int64_t fraction = 0;
      const std::string_view rest = std::string_view(decimals).substr(4);
      for (char c : rest) fraction = fraction * 10 + (c - '0');
      seconds = static_cast<double>((degrees * 60 + minutes) * 60 + whole_seconds) +
                static_cast<double>(fraction) / PowerOfTen(static_cast<int>(rest.size()));
      break;
    }
  }
  if (!(seconds < kFullCircleSeconds)) {
    Refuse(place, what, text, "is a full circle or more; a zenith angle is under 360 degrees.");
  }
  return seconds;
}

double LengthMetres(std::string_view text, LengthUnit unit, const std::string& place,
                    const std::string& what) {
  const double value = DecimalValue(NumberAt(text, place, what));
  if (!std::isfinite(value)) Refuse(place, what, text, "is not a length.");
  switch (unit) {
    case LengthUnit::kInternationalFoot:
      return value * kMetresPerFoot;
    case LengthUnit::kUsSurveyFoot:
      return value * 1200.0 / 3937.0;
    case LengthUnit::kMetre:
      break;
  }
  return value;
}

const char* LengthUnitName(LengthUnit unit) {
  switch (unit) {
    case LengthUnit::kInternationalFoot:
      return "international feet";
    case LengthUnit::kUsSurveyFoot:
      return "US survey feet";
    case LengthUnit::kMetre:
      break;
  }
  return "metres";
}

const char* AngleUnitName(AngleUnit unit) {
  switch (unit) {
    case AngleUnit::kDecimalDegree:
      return "decimal degrees";
    case AngleUnit::kPackedDms:
      return "degrees, minutes and seconds";
    case AngleUnit::kGon:
      return "gon";
    case AngleUnit::kMil:
      return "mil";
    case AngleUnit::kRadian:
      break;
  }
  return "radians";
}

std::string UnitsText(LengthUnit length, AngleUnit angle) {
  return std::string(LengthUnitName(length)) + ", zenith angles in " + AngleUnitName(angle);
}

}  // namespace quarrow
