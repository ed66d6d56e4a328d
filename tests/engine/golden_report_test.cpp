// Whole runs, byte for byte: a field file in, the report out, compared with a
// reviewed golden report. Set QUARROW_UPDATE_GOLDEN=1 to rewrite the goldens
// after a deliberate change, then review the diff.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/support/fake_platform.h"

namespace quarrow {
namespace {

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

struct GoldenCase {
  const char* name;        // golden report: tests/golden/<name>.adj
  std::string field_file;  // where the field file lies
  double begin_elev;
  double end_elev;
  bool feet;
  AdjustOutcome outcome;
};

void PrintTo(const GoldenCase& c, std::ostream* os) { *os << c.name; }

const std::string kData = QUARROW_TEST_DATA;
const std::string kExamples = QUARROW_EXAMPLES;

class GoldenReport : public testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenReport, MatchesByteForByte) {
  const GoldenCase& c = GetParam();
  FakePlatform platform;
  platform.answers = {MessageAnswer::kOk};  // go on past failed tests
  platform.files["run.txt"] = ReadBytes(c.field_file);
  ASSERT_FALSE(platform.files["run.txt"].empty()) << c.field_file;

  RunState rs;
  EXPECT_EQ(CheckAndAdjust(platform, rs, c.begin_elev, c.end_elev, c.feet), c.outcome);

  const std::string golden_path = std::string(QUARROW_GOLDEN) + "/" + c.name + ".adj";
  const std::string& report = platform.files["run.adj"];
  if (std::getenv("QUARROW_UPDATE_GOLDEN") != nullptr) {
    std::ofstream(golden_path, std::ios::binary) << report;
  }
  EXPECT_EQ(report, ReadBytes(golden_path)) << "golden " << golden_path;
  EXPECT_EQ(platform.viewed, std::vector<std::string>{"run.adj"});
}

INSTANTIATE_TEST_SUITE_P(
    Runs, GoldenReport,
    testing::Values(GoldenCase{"example", kData + "/example.txt", 100, 99.91, false,
                               AdjustOutcome::kMeetsSpecifications},
                    GoldenCase{"county-road-feet", kExamples + "/county-road-feet.txt", 432.187,
                               438.405, true, AdjustOutcome::kMeetsSpecifications},
                    GoldenCase{"kessel-creek-dos", kExamples + "/kessel-creek-dos.txt", 56.482,
                               56.851, false, AdjustOutcome::kMeetsSpecifications},
                    // Two long turns, an unbalanced run and a misclosure: four errors.
                    GoldenCase{"failing-feet", kData + "/failing-feet.txt", 100, 99, true,
                               AdjustOutcome::kFailsSpecifications},
                    // Names cut to their columns; a number too wide loses its last digits.
                    GoldenCase{"long-names", kData + "/long-names.txt", 123456789.123, 123456789.12,
                               false, AdjustOutcome::kFailsSpecifications},
                    // Trailing lines without the degree sign change nothing.
                    GoldenCase{"example", kData + "/bug/footer-after-last-foresight.txt", 100,
                               99.91, false, AdjustOutcome::kMeetsSpecifications},
                    GoldenCase{"example", kData + "/bug/backsight-before-footer.txt", 100, 99.91,
                               false, AdjustOutcome::kMeetsSpecifications}),
    [](const testing::TestParamInfo<GoldenCase>& info) {
      return std::to_string(info.index) + "_" + [](std::string n) {
        for (char& ch : n) ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
        return n;
      }(info.param.name);
    });

// The worked example as a surveyor would check it in a German locale: comma
// decimals and dotted dates, everything else unchanged.
TEST(GoldenReportLocale, SeparatorsFollowTheLocale) {
  FakePlatform platform;
  platform.decimal_separator = ",";
  platform.date_separator = ".";
  platform.files["run.txt"] = ExampleFieldFile();
  RunState rs;
  ASSERT_EQ(CheckAndAdjust(platform, rs, 100, 99.91), AdjustOutcome::kMeetsSpecifications);

  std::string expected = ReadBytes(std::string(QUARROW_GOLDEN) + "/example.adj");
  for (std::size_t i = expected.find('\n'); i + 1 < expected.size(); ++i) {
    if (expected[i] == '.' && std::isdigit(static_cast<unsigned char>(expected[i - 1])) &&
        std::isdigit(static_cast<unsigned char>(expected[i + 1]))) {
      expected[i] = ',';
    }
  }
  const std::size_t date = expected.find("12/06/2026");
  ASSERT_NE(date, std::string::npos);
  expected.replace(date, 10, "12.06.2026");
  EXPECT_EQ(platform.files["run.adj"], expected);
}

}  // namespace
}  // namespace quarrow
