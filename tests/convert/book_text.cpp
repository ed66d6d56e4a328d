#include "tests/convert/book_text.h"

#include <cstdio>

namespace quarrow::testing_support {

std::string BookText(const FieldBook& book) {
  std::string text;
  for (const SetupReadings& setup : book.setups) {
    if (!text.empty()) text += " | ";
    text += NameUtf8(setup.station);
    if (setup.backsight_name) text += " bs=" + NameUtf8(*setup.backsight_name);
    text += ":";
    for (std::size_t i = 0; i < setup.readings.size(); ++i) {
      const Reading& r = setup.readings[i];
      char numbers[96];
      std::snprintf(numbers, sizeof numbers, " %.1f %.4f %.4f", r.zenith, r.slope, r.rod);
      text += (i == 0 ? " " : "; ") + NameUtf8(r.name) + numbers;
      if (setup.backsight_reading == i) text += " B";
      if (setup.foresight_reading == i) text += " F";
    }
  }
  return text;
}

std::string RefusalOf(const std::function<void()>& read) {
  try {
    read();
  } catch (const ConvertError& error) {
    return error.what();
  }
  return "accepted";
}

}  // namespace quarrow::testing_support
