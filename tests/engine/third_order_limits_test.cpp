// Every third-order limit held exactly: a run that sits on the limit meets
// it, and the next binary value past the limit fails it, in feet and metres.

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

#include "tests/support/fake_platform.h"

namespace quarrow {
namespace {

// The next double above `value`: the smallest step past it there is.
double Above(double value) {
  return std::nextafter(value, std::numeric_limits<double>::infinity());
}

struct Sights {
  double backsight;
  double foresight;
};

// A level run: zenith 90°00'00" exactly and rod height 0 on every line.
// The zenith becomes a vertical angle of 90 - 90 = 0, and cos 0 = 1 and
// sin 0 = 0 exactly, so every horizontal distance is its slope distance to
// the bit and every elevation stays the beginning one. Distances are written
// as the shortest text that reads back as the same double.
std::string LevelRun(const std::vector<Sights>& setups) {
  const auto text = [](double value) {
    char digits[32];
    return std::string(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
  };
  std::string lines;
  int setup = 0;
  for (const Sights& s : setups) {
    const std::string id = std::to_string(++setup);
    const std::string before = std::to_string(setup - 1);
    lines += id + ",P" + before + ",90~00'00\"," + text(s.backsight) + ",0\r\n";
    lines += id + ",P" + id + ",90~00'00\"," + text(s.foresight) + ",0\r\n";
  }
  std::replace(lines.begin(), lines.end(), '~', '\xb0');
  return lines;
}

TEST(ThirdOrderLimits, OnTheLimitMeetsItTheNextStepFails) {
  // How the numbers stay exact:
  // - A turn's imbalance: the longer sight is 15 m or 43 ft, the shorter
  //   5 m or 10 ft; one step past is the next double above the longer
  //   sight, which lies in the same binade as the limit, so the difference
  //   is the next double above the limit. A second setup turned the other
  //   way keeps the whole run balanced.
  // - The whole run: two setups of half the limit each, whose longer sights
  //   sum to 12 m or 40 ft. One step past makes the second longer sight
  //   (next double above the sum) - (first sight), exact as it is finer than
  //   the sum's step; the sums then differ by the next double above the limit.
  // - The misclosure: runs of 4000 m and 20800 ft, four times the unit
  //   length, allow 2 x 0.012 m and 2 x 0.05 ft: the root is exactly 2, and
  //   doubling a double is exact, so the allowance is the very double written
  //   0.024 or 0.1. The run begins at elevation 0 and stays there, so the
  //   misclosure is the ending elevation itself.
  const std::string metres = "m.";
  const std::string feet = "'.";
  const std::string one_turn = "One turn exceeds the maximum BS - FS differential.";
  const std::string run = "The level run exceeds the maximum BS - FS differential.";
  const std::string misclosure = "The elevation misclosure exceeds the allowed maximum.";
  const std::string turns_within = "| All turns are within the maximum BS - FS differential of ";
  const std::string turn_exceeds = "| ** One turn exceeds the maximum BS - FS differential of ";
  const std::string run_within =
      "| The total level run is within the maximum BS - FS differential of ";
  const std::string run_exceeds =
      "| ** The total level run exceeds the maximum BS - FS differential of ";
  const std::string error_within = "| The actual closing error is ";
  const std::string error_exceeds = "| ** The actual closing error is ";
  const double m12 = Above(12) - 6;  // with a first sight of 6 m, sums to the next double above 12
  const double ft40 = Above(40) - 20;
  struct Row {
    const char* what;
    bool feet;
    std::vector<Sights> setups;
    double end_elev;      // the misclosure, the run beginning at 0
    std::string failure;  // the failed-test message; empty when the run passes
    std::string summary;  // the report's summary line for the limit
  } rows[] = {
      // clang-format off
      {"metric turn at 10 m", false, {{15, 5}, {5, 15}}, 0, "", turns_within + "10" + metres},
      {"metric turn past, backsight longer", false, {{Above(15), 5}, {5, 15}}, 0, one_turn, turn_exceeds + "10" + metres},
      {"metric turn past, foresight longer", false, {{5, Above(15)}, {15, 5}}, 0, one_turn, turn_exceeds + "10" + metres},
      {"metric run at 10 m", false, {{6, 1}, {6, 1}}, 0, "", run_within + "10" + metres},
      {"metric run past, backsights longer", false, {{6, 1}, {m12, 1}}, 0, run, run_exceeds + "10" + metres},
      {"metric run past, foresights longer", false, {{1, 6}, {1, m12}}, 0, run, run_exceeds + "10" + metres},
      {"metric misclosure at +0.024 m", false, {{1000, 1000}, {1000, 1000}}, 0.024, "", error_within + "0.024" + metres},
      {"metric misclosure at -0.024 m", false, {{1000, 1000}, {1000, 1000}}, -0.024, "", error_within + "-0.024" + metres},
      {"metric misclosure past, positive", false, {{1000, 1000}, {1000, 1000}}, Above(0.024), misclosure, error_exceeds + "0.024" + metres},
      {"metric misclosure past, negative", false, {{1000, 1000}, {1000, 1000}}, -Above(0.024), misclosure, error_exceeds + "-0.024" + metres},
      {"feet turn at 33 ft", true, {{43, 10}, {10, 43}}, 0, "", turns_within + "33" + feet},
      {"feet turn past, backsight longer", true, {{Above(43), 10}, {10, 43}}, 0, one_turn, turn_exceeds + "33" + feet},
      {"feet turn past, foresight longer", true, {{10, Above(43)}, {43, 10}}, 0, one_turn, turn_exceeds + "33" + feet},
      {"feet run at 33 ft", true, {{20, 3.5}, {20, 3.5}}, 0, "", run_within + "33" + feet},
      {"feet run past, backsights longer", true, {{20, 3.5}, {ft40, 3.5}}, 0, run, run_exceeds + "33" + feet},
      {"feet run past, foresights longer", true, {{3.5, 20}, {3.5, ft40}}, 0, run, run_exceeds + "33" + feet},
      {"feet misclosure at +0.1 ft", true, {{5200, 5200}, {5200, 5200}}, 0.1, "", error_within + "0.100" + feet},
      {"feet misclosure at -0.1 ft", true, {{5200, 5200}, {5200, 5200}}, -0.1, "", error_within + "-0.100" + feet},
      {"feet misclosure past, positive", true, {{5200, 5200}, {5200, 5200}}, Above(0.1), misclosure, error_exceeds + "0.100" + feet},
      {"feet misclosure past, negative", true, {{5200, 5200}, {5200, 5200}}, -Above(0.1), misclosure, error_exceeds + "-0.100" + feet},
      // clang-format on
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    FakePlatform platform;
    platform.files["run.txt"] = LevelRun(row.setups);
    platform.answers = {MessageAnswer::kOk};
    RunState rs;
    EXPECT_EQ(CheckAndAdjust(platform, rs, 0, row.end_elev, row.feet),
              row.failure.empty() ? AdjustOutcome::kMeetsSpecifications
                                  : AdjustOutcome::kFailsSpecifications);
    std::string shown;  // every box's text; none at all when the run passes
    for (const MessageBoxSpec& box : platform.shown) shown += box.text;
    EXPECT_EQ(shown, row.failure);
    // The report decides its summary lines for itself, so they are held too.
    EXPECT_NE(platform.files["run.adj"].find("\r\n" + row.summary + " "), std::string::npos);
  }
}

}  // namespace
}  // namespace quarrow
