#pragma once

// Test helpers that play the digital level: they take levelled lines as the
// crew observed them and record them as a Leica GSI file or a DiNi M5 file,
// with the habits of real instruments switched on one by one: the order of
// the readings, code blocks or none, the instrument's own heights and sums,
// intermediate sights, repeated readings, records marked in error.

#include <string>
#include <vector>

namespace quarrow::testing_support {

// One setup: the backsight point and the foresight point with their first
// readings and distances, in the file's unit. Orders that read each staff
// twice read it again `second_offset` higher.
struct LevelSetup {
  std::string back, fore;
  double back_reading = 0, fore_reading = 0;
  double back_distance = 0, fore_distance = 0;
  double back_second_offset = 0.0003, fore_second_offset = 0.0001;
  bool intermediate_after_backsight = false;  // an intermediate sight after the backsight
};

struct SurveyedLine {
  std::string order = "BF";  // BF, aBF, BFFB or aBFFB
  std::vector<LevelSetup> setups;
  double start_height = 100;  // of the first backsight's point, as keyed in
};

// The readings of one setup in the order the line's order takes them: each
// true for a backsight. Alternating orders take every second setup
// (counting from 0) backwards: FB, FBBF.
std::vector<bool> ReadingOrder(const std::string& order, std::size_t setup);

// The height difference and length the readings give: the mean of the
// setups' rises, the mean backsight plus foresight distances.
double DifferenceOf(const SurveyedLine& line);
double LengthOf(const SurveyedLine& line);

struct GsiLevelStyle {
  bool gsi16 = false;
  char reading_unit = '6';  // 0, 6, 8 metres; 1, 7 feet
  char distance_unit = '6';
  bool order_blocks = true;   // a "?......N" code block starts every line
  bool start_blocks = true;   // 11 and 83 name the starting bench mark
  bool result_blocks = true;  // 571 to 574 and 83 after every setup
  bool keyed_codes = false;   // a code block the crew keyed in, before every line
  bool measure_only = false;  // a 330 reading before every line
};

std::string WriteGsiLevel(const std::vector<SurveyedLine>& lines, const GsiLevelStyle& style);

struct DiniStyle {
  std::string unit = "m";  // m, ft or usft
  int reading_decimals = 5;
  int distance_decimals = 3;
  bool start_heights = true;       // a Z record names the starting bench mark
  bool heights = true;             // Z records after every setup
  bool end_sums = true;            // Sh, dz, Db, Df records at the end of every line
  bool repeated_readings = false;  // every backsight read twice, "Measurement repeated" between
  bool repeated_station = false;   // the first setup observed, "Station repeated", observed again
  bool flagged_records = false;    // a wrong reading marked "e" before every foresight
};

std::string WriteDini(const std::vector<SurveyedLine>& lines, const DiniStyle& style);

// One M5 record: the address, the information block's type and text, three
// value blocks ("Rb", value text, unit; an empty type leaves it blank) and
// the error mark.
struct M5Value {
  std::string type, value, unit;
};
std::string M5Record(int address, const std::string& type, const std::string& info,
                     const M5Value& a, const M5Value& b, const M5Value& c, char mark = ' ');

}  // namespace quarrow::testing_support
