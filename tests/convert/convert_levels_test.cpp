// quarrow-convert on digital levels' files: the lines file beside the input,
// the summary, and the refusals, through the fake platform.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cli/convert_tool.h"
#include "tests/support/fake_platform.h"

namespace quarrow {
namespace {

const std::string kExamples = QUARROW_EXAMPLES;

std::string ExampleBytes(const std::string& name) {
  std::ifstream in(kExamples + "/network/" + name, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

struct Outcome {
  int status = 0;
  std::string output;
  std::string errors;
};

Outcome Convert(FakePlatform& platform, QStringList arguments) {
  arguments.prepend("quarrow-convert");
  std::ostringstream out;
  std::ostringstream err;
  Outcome outcome;
  outcome.status = RunConvertTool(arguments, platform, out, err);
  outcome.output = out.str();
  outcome.errors = err.str();
  return outcome;
}

// The examples level two lines of the example network; examples/README.md
// quotes these numbers.
TEST(ConvertDigitalLevels, ExamplesGiveTheLinesTheReadmePromises) {
  const struct {
    const char* input;
    const char* lines_file;
    const char* kind;
    const char* row;
    const char* summary_line;
  } cases[] = {
      {"level-line.gsi", "level-line.csv", "GSI", "BM N-4,J-2,-14.07985,3327.90500,,level",
       "  BM N-4 to J-2: difference -14.07985, length 3327.90500, 12 setups (from line 1)\n"},
      {"level-line.dat", "level-line.csv", "DiNi", "BM N-4,J-3,-44.08060,4179.26000,,level",
       "  BM N-4 to J-3: difference -44.08060, length 4179.26000, 14 setups (from line 2)\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    FakePlatform platform;
    platform.files[c.input] = ExampleBytes(c.input);
    const Outcome outcome = Convert(platform, {c.input});
    ASSERT_EQ(outcome.status, kConvertWritten) << outcome.errors;
    EXPECT_EQ(platform.files[c.lines_file],
              std::string("# Converted by quarrow-convert from ") + c.kind + " file " + c.input +
                  "; units: feet\r\n"
                  "from,to,difference,length,standard_deviation,group\r\n" +
                  c.row + "\r\n");
    EXPECT_EQ(outcome.output.substr(0, outcome.output.find('\n') + 1),
              std::string("Wrote level-line.csv from the ") + c.kind + " file " + c.input + ".\n");
    EXPECT_NE(outcome.output.find(c.summary_line), std::string::npos) << outcome.output;
    EXPECT_NE(outcome.output.find("Intermediate sights passed over: 1\n"), std::string::npos);
    EXPECT_NE(outcome.output.find("Units: feet"), std::string::npos);
    EXPECT_EQ(outcome.errors, "");
  }
}

TEST(ConvertDigitalLevels, TheFormatAndUnitsCanBeNamed) {
  FakePlatform platform;
  platform.files["line.raw"] = ExampleBytes("level-line.dat");
  const Outcome outcome =
      Convert(platform, {"--from", "dini", "--units", "feet", "--output", "out.csv", "line.raw"});
  ASSERT_EQ(outcome.status, kConvertWritten) << outcome.errors;
  EXPECT_NE(platform.files["out.csv"].find("BM N-4,J-3,-44.08060"), std::string::npos);
}

TEST(ConvertDigitalLevels, RefusalsWriteNothing) {
  FakePlatform platform;
  platform.files["level.gsi"] = ExampleBytes("level-line.gsi");
  platform.files["level.dat"] = ExampleBytes("level-line.dat");
  platform.files["station.gsi"] = "110001+00000BM1 22.104+08958300 31..00+00052114 \r\n";
  const std::string dini = ExampleBytes("level-line.dat");
  platform.files["open.dat"] = dini.substr(0, dini.rfind("\r\n", dini.find("End-Line")) + 2);
  platform.files["comma.gsi"] =
      "110001+000BM,01 32...6+00312500 331.06+00014213 \r\n"
      "110002+00000TP1 32...6+00309000 332.06+00008765 \r\n";
  const struct {
    const char* what;
    QStringList arguments;
    std::string message;  // the first line on standard error
  } cases[] = {
      {"other units named",
       {"--units", "metric", "level.gsi"},
       "quarrow-convert: level.gsi: the file is in feet, but --units metric says otherwise; a "
       "digital level's file keeps its units."},
      {"a DOS field file asked for",
       {"--dos", "level.dat"},
       "quarrow-convert: --dos is for field files; a digital level's file converts into a lines "
       "file."},
      {"GSI read as DiNi",
       {"--from", "dini", "level.gsi"},
       "quarrow-convert: level.gsi: line 1: \"410001+?......4...\" is not an M5 record; expected "
       "every line to start \"For M5|Adr\"."},
      {"a total station's GSI read as a digital level's",
       {"--from", "gsi-level", "station.gsi"},
       "quarrow-convert: station.gsi: line 1: the word \"22.104+08958300\" is a total-station "
       "measurement (word 22)"},
      {"a line never ended",
       {"open.dat"},
       "quarrow-convert: open.dat: line 2: the line started here has no End-Line record"},
      {"a name the lines file cannot hold",
       {"comma.gsi"},
       "quarrow-convert: comma.gsi: line 1: the point name \"BM,01\" holds a comma"},
  };
  const auto before = platform.files;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Outcome outcome = Convert(platform, c.arguments);
    EXPECT_EQ(outcome.status, kConvertInputError);
    EXPECT_EQ(outcome.errors.substr(0, c.message.size()), c.message) << outcome.errors;
    EXPECT_EQ(outcome.output, "");
    EXPECT_EQ(platform.files, before);
  }
}

}  // namespace
}  // namespace quarrow
