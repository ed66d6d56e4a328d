#include "tests/levelling/level_writers.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace quarrow::testing_support {

namespace {

// The second distance of a staff read twice: instruments measure it again.
constexpr double kBackSecondDistance = 0.02;
constexpr double kForeSecondDistance = 0.01;

bool TwiceEach(const std::string& order) { return order == "BFFB" || order == "aBFFB"; }

std::string PadLeft(const std::string& text, std::size_t width, char pad = ' ') {
  return text.size() >= width ? text : std::string(width - text.size(), pad) + text;
}

std::string PadRight(const std::string& text, std::size_t width) {
  return text.size() >= width ? text.substr(0, width)
                              : text + std::string(width - text.size(), ' ');
}

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

int GsiDecimals(char unit) {
  switch (unit) {
    case '0':
    case '1':
      return 3;
    case '6':
    case '7':
      return 4;
    default:
      return 5;
  }
}

class GsiBlocks {
 public:
  explicit GsiBlocks(bool gsi16) : gsi16_(gsi16) {}

  // A new block: the "*" of GSI-16 and its first word, the point or code.
  void Start(const std::string& index, const std::string& data) {
    if (!text_.empty()) text_ += "\r\n";
    if (gsi16_) text_ += '*';
    char number[8];
    std::snprintf(number, sizeof number, "%04d", ++block_ % 10000);
    Word(index + number, '+', data, '0');
  }

  // A value word: six characters before the sign, the value in the unit.
  void Value(const std::string& info, char unit, double value) {
    const double scale = std::pow(10.0, GsiDecimals(unit));
    Word(info + unit, value < 0 ? '-' : '+', std::to_string(std::llround(std::fabs(value) * scale)),
         '0');
  }

  void Word(const std::string& info, char sign, const std::string& data, char pad) {
    const std::size_t width = gsi16_ ? 16 : 8;
    if (data.size() > width) throw std::invalid_argument("GSI data too wide: " + data);
    text_ += info + sign + PadLeft(data, width, pad) + " ";
  }

  std::string Done() const { return text_.empty() ? text_ : text_ + "\r\n"; }

 private:
  bool gsi16_;
  int block_ = 0;
  std::string text_;
};

struct Sight {
  bool back;
  bool second;
  const std::string& point;
  double reading;
  double distance;
};

std::vector<Sight> Sights(const SurveyedLine& line, std::size_t s) {
  const LevelSetup& setup = line.setups[s];
  std::vector<Sight> sights;
  int backs = 0;
  int fores = 0;
  for (bool back : ReadingOrder(line.order, s)) {
    const bool second = (back ? backs++ : fores++) > 0;
    if (back) {
      sights.push_back({true, second, setup.back,
                        setup.back_reading + (second ? setup.back_second_offset : 0),
                        setup.back_distance + (second ? kBackSecondDistance : 0)});
    } else {
      sights.push_back({false, second, setup.fore,
                        setup.fore_reading + (second ? setup.fore_second_offset : 0),
                        setup.fore_distance + (second ? kForeSecondDistance : 0)});
    }
  }
  return sights;
}

double RiseOf(const SurveyedLine& line, const LevelSetup& setup) {
  const double rise = setup.back_reading - setup.fore_reading;
  return TwiceEach(line.order) ? rise + (setup.back_second_offset - setup.fore_second_offset) / 2
                               : rise;
}

}  // namespace

std::vector<bool> ReadingOrder(const std::string& order, std::size_t setup) {
  const bool backwards = order.starts_with('a') && setup % 2 == 1;
  if (TwiceEach(order)) {
    return backwards ? std::vector<bool>{false, true, true, false}
                     : std::vector<bool>{true, false, false, true};
  }
  return backwards ? std::vector<bool>{false, true} : std::vector<bool>{true, false};
}

double DifferenceOf(const SurveyedLine& line) {
  double difference = 0;
  for (const LevelSetup& setup : line.setups) difference += RiseOf(line, setup);
  return difference;
}

double LengthOf(const SurveyedLine& line) {
  double length = 0;
  for (const LevelSetup& setup : line.setups) {
    length += setup.back_distance + setup.fore_distance;
    if (TwiceEach(line.order)) length += (kBackSecondDistance + kForeSecondDistance) / 2;
  }
  return length;
}

std::string WriteGsiLevel(const std::vector<SurveyedLine>& lines, const GsiLevelStyle& style) {
  GsiBlocks gsi(style.gsi16);
  const std::string dots(style.gsi16 ? 14 : 6, '.');
  for (const SurveyedLine& line : lines) {
    if (style.keyed_codes) {
      gsi.Start("41", "7");
      gsi.Word("42....", '+', "CULV", '0');
    }
    if (style.measure_only) {
      gsi.Start("11", "CHECK");
      gsi.Value("32...", style.distance_unit, 20);
      gsi.Value("330.0", style.reading_unit, 1.2345);
    }
    if (style.order_blocks) {
      const char* number = line.order == "BF"     ? "1"
                           : line.order == "BFFB" ? "2"
                           : line.order == "aBF"  ? "3"
                                                  : "4";
      gsi.Start("41", "?" + dots + number);
    }
    double height = line.start_height;
    if (style.start_blocks) {
      gsi.Start("11", line.setups.front().back);
      gsi.Value("83..5", style.reading_unit, height);
    }
    double balance = 0;
    double total = 0;
    for (std::size_t s = 0; s < line.setups.size(); ++s) {
      const LevelSetup& setup = line.setups[s];
      for (const Sight& sight : Sights(line, s)) {
        gsi.Start("11", sight.point);
        gsi.Value("32...", style.distance_unit, sight.distance);
        gsi.Value(
            sight.back ? (sight.second ? "335.0" : "331.0") : (sight.second ? "336.0" : "332.0"),
            style.reading_unit, sight.reading);
        if (setup.intermediate_after_backsight && sight.back && !sight.second) {
          gsi.Start("11", "IS" + std::to_string(s + 1));
          gsi.Value("32...", style.distance_unit, 12.3);
          gsi.Value("333.0", style.reading_unit, 2.105);
          gsi.Start("11", "IS" + std::to_string(s + 1));
          gsi.Value("83..0", style.reading_unit, height + setup.back_reading - 2.105);
        }
      }
      height += RiseOf(line, setup);
      balance += setup.back_distance - setup.fore_distance;
      total += setup.back_distance + setup.fore_distance;
      if (style.result_blocks) {
        gsi.Start("11", setup.fore);
        if (TwiceEach(line.order)) {
          gsi.Value("571.0", style.reading_unit,
                    setup.back_second_offset - setup.fore_second_offset);
          gsi.Value("572.0", style.reading_unit, 0);
        }
        gsi.Value("573..", style.distance_unit, balance);
        gsi.Value("574..", style.distance_unit, total);
        gsi.Value("83..0", style.reading_unit, height);
      }
    }
  }
  return gsi.Done();
}

std::string M5Record(int address, const std::string& type, const std::string& info,
                     const M5Value& a, const M5Value& b, const M5Value& c, char mark) {
  auto block = [](const M5Value& v) {
    if (v.type.empty()) return std::string(22, ' ');
    return PadRight(v.type, 2) + " " + PadLeft(v.value, 14) + " " + PadRight(v.unit, 4);
  };
  return "For M5|Adr" + PadLeft(std::to_string(address), 6) + "|" + PadRight(type, 3) +
         PadRight(info, 28) + "|" + block(a) + "|" + block(b) + "|" + block(c) + "|" + mark +
         "\r\n";
}

std::string WriteDini(const std::vector<SurveyedLine>& lines, const DiniStyle& style) {
  int address = 0;
  std::string dat;
  const M5Value none;
  auto text = [&](const std::string& words, int line_number) {
    dat += M5Record(++address, "TO",
                    PadRight(" " + words, 24) + PadLeft(std::to_string(line_number), 4), none, none,
                    none);
  };
  auto point_info = [](const std::string& point, const std::string& time, int line_number) {
    return PadLeft(point, 9) + PadRight("      " + time, 15) +
           PadLeft(std::to_string(line_number), 4);
  };
  auto length = [&](double value) {
    return M5Value{"HD", Fixed(value, style.distance_decimals), style.unit};
  };
  auto staff = [&](const char* type, double value) {
    return M5Value{type, Fixed(value, style.reading_decimals), style.unit};
  };
  auto height = [&](double value) {
    return M5Value{"Z", Fixed(value, style.reading_decimals), style.unit};
  };

  text("LEVEL.DAT", 0);
  for (std::size_t k = 0; k < lines.size(); ++k) {
    const SurveyedLine& line = lines[k];
    const int number = static_cast<int>(k + 1);
    text("Start-Line" + PadLeft(line.order, 10), number);
    double z = line.start_height;
    if (style.start_heights) {
      dat += M5Record(++address, "KD1", point_info(line.setups.front().back, "", number), none,
                      none, height(z));
    }
    double backs = 0;
    double fores = 0;
    auto observe = [&](std::size_t s, double fore_error) {
      for (const Sight& sight : Sights(line, s)) {
        const std::string info = point_info(sight.point, "08:01:121", number);
        if (!sight.back && style.flagged_records) {
          dat += M5Record(++address, "KD1", info, staff("Rf", sight.reading + 0.5),
                          length(sight.distance), none, 'e');
        }
        if (sight.back && style.repeated_readings) {
          dat += M5Record(++address, "KD1", info, staff("Rb", sight.reading + 0.01),
                          length(sight.distance), none);
          text("Measurement repeated", number);
        }
        dat +=
            M5Record(++address, "KD1", info,
                     staff(sight.back ? "Rb" : "Rf", sight.reading + (sight.back ? 0 : fore_error)),
                     length(sight.distance), none);
        if (sight.back && !sight.second && line.setups[s].intermediate_after_backsight) {
          text("Intermediate sight.", number);
          dat += M5Record(
              ++address, "KD1", point_info("IS" + std::to_string(s + 1), "08:02:001", number),
              staff("Rz", 2.105), length(12.3), height(z + line.setups[s].back_reading - 2.105));
          text("End of interm. sight.", number);
        }
      }
    };
    for (std::size_t s = 0; s < line.setups.size(); ++s) {
      const LevelSetup& setup = line.setups[s];
      if (s == 0 && style.repeated_station) {
        observe(s, 0.1);
        text("Station repeated", number);
      }
      observe(s, 0);
      z += RiseOf(line, setup);
      backs += setup.back_distance;
      fores += setup.fore_distance;
      if (style.heights) {
        dat +=
            M5Record(++address, "KD1", point_info(setup.fore, "", number), none, none, height(z));
      }
    }
    if (style.end_sums) {
      const std::string info = point_info(line.setups.back().fore, "", number);
      dat += M5Record(++address, "KD1", info, staff("Sh", z - line.start_height), staff("dz", 0),
                      height(z));
      dat += M5Record(++address, "KD2", info,
                      M5Value{"Db", Fixed(backs, style.distance_decimals), style.unit},
                      M5Value{"Df", Fixed(fores, style.distance_decimals), style.unit}, height(z));
    }
    text("End-Line", number);
  }
  return dat;
}

}  // namespace quarrow::testing_support
