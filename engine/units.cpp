#include "engine/units.h"

#include "engine/messages.h"

namespace quarrow {

std::string_view UnitsLabel(Units units) {
  return units == Units::kFeet ? messages::kEnglishUnits : messages::kMetricUnits;
}

char UnitMark(Units units) { return units == Units::kFeet ? '\'' : 'm'; }

Units UnitsOfMark(char unit_mark) { return unit_mark == '\'' ? Units::kFeet : Units::kMetric; }

std::string_view UnitsName(Units units) { return units == Units::kFeet ? "feet" : "metric"; }

}  // namespace quarrow
