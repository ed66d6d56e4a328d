#include "convert/field_book.h"

#include "engine/code_pages.h"

namespace quarrow {

SetupReadings SetupStartingAt(std::string place) {
  SetupReadings setup;
  setup.place = std::move(place);
  return setup;
}

std::string NameUtf8(const std::u32string& name) {
  std::string text;
  for (char32_t c : name) AppendUtf8(text, c);
  return text;
}

std::string QuotedName(const std::u32string& name) { return "\"" + NameUtf8(name) + "\""; }

std::string PointText(const std::u32string& name) {
  return name.empty() ? "a point without a name" : "point " + QuotedName(name);
}

std::size_t CountObservations(const SetupReadings& setup) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < setup.readings.size(); ++i) {
    if (i == 0 || setup.readings[i - 1].name != setup.readings[i].name) ++count;
  }
  return count;
}

std::u32string BacksightName(const SetupReadings& setup) {
  if (setup.backsight_reading && *setup.backsight_reading < setup.readings.size()) {
    return setup.readings[*setup.backsight_reading].name;
  }
  if (setup.backsight_name) return *setup.backsight_name;
  return setup.readings.empty() ? std::u32string() : setup.readings.front().name;
}

}  // namespace quarrow
