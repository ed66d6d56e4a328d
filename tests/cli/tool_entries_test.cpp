// Each tool's entry on the fake platform: files in memory, every message box
// recorded. What a tool writes and says must not depend on the real disk.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <sstream>

#include "cli/adjust_tool.h"
#include "cli/convert_tool.h"
#include "cli/network_tool.h"
#include "tests/support/fake_platform.h"
#include "tests/support/scratch_files.h"

namespace quarrow {
namespace {

const QString kExamples = QUARROW_EXAMPLES;
const QString kGolden = QUARROW_GOLDEN;

enum class Tool { kAdjust, kNetwork, kConvert };

struct Outcome {
  int status = -1;
  std::string output;
  std::string errors;
};

Outcome RunTool(Tool tool, FakePlatform& platform, QStringList arguments) {
  std::ostringstream output;
  std::ostringstream errors;
  Outcome outcome;
  switch (tool) {
    case Tool::kAdjust:
      arguments.prepend("quarrow-adjust");
      outcome.status = RunAdjustTool(arguments, platform, output, errors);
      break;
    case Tool::kNetwork:
      arguments.prepend("quarrow-network");
      outcome.status = RunNetworkTool(arguments, platform, output, errors);
      break;
    case Tool::kConvert:
      arguments.prepend("quarrow-convert");
      outcome.status = RunConvertTool(arguments, platform, output, errors);
      break;
  }
  outcome.output = output.str();
  outcome.errors = errors.str();
  return outcome;
}

// The examples the tools' entries are tried on, in memory under their own
// names; the fake's date is the goldens' date.
FakePlatform Examples() {
  FakePlatform platform;
  platform.read_chunk = 1 << 16;
  platform.files["run.txt"] = ReadBytes(kExamples + "/run.txt");
  platform.files["failing.txt"] = ReadBytes(QString(QUARROW_TEST_DATA) + "/failing-feet.txt");
  platform.files["marks.csv"] = ReadBytes(kExamples + "/network/marks.csv");
  for (const QString& run : QDir(kExamples + "/network").entryList({"run*.txt"})) {
    platform.files[run.toStdString()] = ReadBytes(kExamples + "/network/" + run);
  }
  platform.files["run.jxl"] = ReadBytes(kExamples + "/convert/run.jxl");
  return platform;
}

const QStringList kNetwork = {
    "--marks",        "marks.csv",      "--output",       "network.adj",    "run1-n1-j2.txt",
    "run2-j2-j3.txt", "run3-j3-n1.txt", "run4-j2-n4.txt", "run5-n4-j3.txt", "run6-j3-n7.txt"};

TEST(ToolEntries, WriteWhatTheGoldenFilesHold) {
  const struct {
    const char* what;
    Tool tool;
    QStringList arguments;
    int status;
    std::string written;  // the file the tool writes
    QString golden;       // and what it must hold
  } rows[] = {
      {"the worked example",
       Tool::kAdjust,
       {"--begin", "100", "--end", "99.91", "--units", "metric", "run.txt"},
       0,
       "run.adj",
       kGolden + "/example.adj"},
      {"the example network", Tool::kNetwork, kNetwork, 0, "network.adj", kGolden + "/network.adj"},
      {"the JobXML example",
       Tool::kConvert,
       {"--output", "converted.txt", "run.jxl"},
       0,
       "converted.txt",
       kExamples + "/convert/run-from-jxl.txt"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    FakePlatform platform = Examples();
    const Outcome outcome = RunTool(row.tool, platform, row.arguments);
    EXPECT_EQ(outcome.status, row.status) << outcome.errors;
    EXPECT_TRUE(platform.shown.empty());
    EXPECT_EQ(platform.files[row.written], ReadBytes(row.golden));
  }
}

TEST(ToolEntries, RefuseAndSayWhyWritingNothing) {
  const struct {
    const char* what;
    Tool tool;
    QStringList arguments;
    int status;
    std::string errors;  // the start of what the tool says itself
    std::string shown;   // the message box, through the platform
  } rows[] = {
      // clang-format off
      {"failed tests with --strict", Tool::kAdjust,
       {"--strict", "--begin", "100", "--end", "99", "failing.txt"}, 1,
       "2 turns exceed the maximum BS - FS differential.\n", ""},
      {"an existing report without --force", Tool::kAdjust,
       {"--begin", "100", "--end", "99.91", "--output", "run.jxl", "run.txt"}, 2,
       "run.jxl exists.\nUse --force to overwrite it; nothing was written.\n", ""},
      {"a missing field file", Tool::kAdjust, {"--begin", "1", "--end", "1", "gone.txt"}, 2,
       "", "File Does Not Exist\r\ngone.txt"},
      {"--units twice", Tool::kAdjust,
       {"--units", "metric", "--begin", "1", "--end", "1", "--units", "feet", "run.txt"}, 2,
       "quarrow-adjust: --units is given 2 times ('metric', 'feet'); give it once.\n", ""},
      {"--profile twice", Tool::kAdjust,
       {"--profile", "a.svg", "--profile", "b.png", "--begin", "1", "--end", "1", "run.txt"}, 2,
       "quarrow-adjust: --profile is given 2 times", ""},
      {"--output twice", Tool::kNetwork, QStringList{"--output", "other.adj"} + kNetwork, 2,
       "quarrow-network: --output is given 2 times", ""},
      {"a missing marks file", Tool::kNetwork,
       {"--marks", "gone.csv", "--output", "n.adj", "run1-n1-j2.txt"}, 2,
       "", "Unable To Open Specified File:\r\ngone.csv"},
      {"--from twice", Tool::kConvert, {"--from", "gsi", "--from", "jobxml", "run.jxl"}, 2,
       "quarrow-convert: --from is given 2 times", ""},
      {"the input as its own output", Tool::kConvert, {"--output", "run.jxl", "run.jxl"}, 2,
       "quarrow-convert: run.jxl is the input itself", ""},
      {"a name that is no UTF-8", Tool::kAdjust, {"--begin", "1", "--end", "1", "caf\uFFFD.txt"}, 2,
       "quarrow-adjust: 'caf\xEF\xBF\xBD.txt' is not valid UTF-8 text", ""},
      {"an output that is no UTF-8", Tool::kNetwork, {"--marks", "marks.csv", "--output",
       "r\uFFFDport.adj", "run1-n1-j2.txt"}, 2, "quarrow-network: 'r\xEF\xBF\xBDport.adj' is not valid UTF-8", ""},
      // clang-format on
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    FakePlatform platform = Examples();
    const std::map<std::string, std::string> before = platform.files;
    const Outcome outcome = RunTool(row.tool, platform, row.arguments);
    EXPECT_EQ(outcome.status, row.status);
    EXPECT_EQ(outcome.errors.substr(0, row.errors.size()), row.errors) << outcome.errors;
    if (row.shown.empty()) {
      EXPECT_TRUE(platform.shown.empty());
    } else {
      ASSERT_EQ(platform.shown.size(), 1u);
      EXPECT_EQ(platform.shown[0].text, row.shown);
    }
    EXPECT_EQ(platform.files, before);
  }
}

// A field file with one distance typed with a letter l for a one: read as
// 51 where 51.880 was meant, still within third order.
std::string MistypedRun() {
  std::string text = ReadBytes(kExamples + "/run.txt");
  text.replace(text.find("51.880"), 6, "51.88O");
  return text;
}

TEST(ToolEntries, WarningsNameTheirLinesAndUnitsComeFromTheFile) {
  const std::string converted =
      "Converted by quarrow-convert from JobXML file run.jxl; units: metric\r\n" +
      ReadBytes(kExamples + "/run.txt");
  const std::string warning =
      "typo.txt:3: warning: the slope distance \"51.88O\" is read as 51.88: the text goes on "
      "past the number\n";
  const struct {
    const char* what;
    QStringList arguments;
    int status;
    std::string output;
    std::string errors;
    bool written;  // the report beside the field file
  } rows[] = {
      // clang-format off
      {"--check, no warning", {"--check", "run.txt"}, 0,
       "run.txt: 2 setups, 5 observations, 1 side shot, run length 200.244; its units are not named "
       "in it; 0 warnings.\n", "", false},
      {"--check, a warning", {"--check", "typo.txt"}, 1,
       "typo.txt: 2 setups, 5 observations, 1 side shot, run length 200.244; its units are not "
       "named in it; 1 warning.\n", warning, false},
      {"--check, units from the file", {"--check", "converted.txt"}, 0,
       "converted.txt: 2 setups, 5 observations, 1 side shot, run length 200.244; units: metric, as "
       "its first line says; 0 warnings.\n", "", false},
      {"warned, written", {"--begin", "100", "--end", "99.91", "--units", "metric", "typo.txt"}, 0,
       "", warning, true},
      {"warned, --strict", {"--strict", "--begin", "100", "--end", "99.91", "--units", "metric",
       "typo.txt"}, 1, "", warning + "typo.txt: 1 warning; nothing was written (--strict).\n", false},
      {"units from the file", {"--begin", "100", "--end", "99.91", "converted.txt"}, 0, "", "", true},
      {"units the file does not name", {"--units", "feet", "--begin", "100", "--end", "99.91",
       "converted.txt"}, 2, "",
       "quarrow-adjust: converted.txt names its units in its first line: metric, but --units says "
       "feet; nothing was written.\n", false},
      // clang-format on
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    FakePlatform platform = Examples();
    platform.files["typo.txt"] = MistypedRun();
    platform.files["converted.txt"] = converted;
    const Outcome outcome = RunTool(Tool::kAdjust, platform, row.arguments);
    EXPECT_EQ(outcome.status, row.status);
    EXPECT_EQ(outcome.output, row.output);
    EXPECT_EQ(outcome.errors.substr(0, std::min(outcome.errors.find("Try"), outcome.errors.size())),
              row.errors);
    const std::string report = row.arguments.last() == "typo.txt" ? "typo.adj" : "converted.adj";
    EXPECT_EQ(platform.files.count(report), row.written ? 1u : 0u);
    if (row.written && report == "converted.adj") {
      EXPECT_NE(platform.files[report].find("Metric Units"), std::string::npos);
    }
  }
}

// The example network's run 6 turned into a spur from BM N-7 to a new mark
// of a long name, in a file of a long name: nothing else measures it.
std::string SpurRun() {
  std::string text = ReadBytes(kExamples + "/network/run6-j3-n7.txt");
  text.replace(text.find("1,J-3,"), 6, "1,BM N-7,");
  text.replace(text.find("7,BM N-7,"), 9, "7,BM-NORTH-GATE-1,");
  return text;
}

TEST(ToolEntries, NetworkRefusalsAndWhatNothingChecks) {
  const QStringList runs = kNetwork.mid(4);
  const std::string metric_header =
      "Converted by quarrow-convert from GSI file run4.gsi; units: metric\r\n";
  const struct {
    const char* what;
    QStringList arguments;
    int status;
    std::string shown;   // the first box, through the platform
    std::string errors;  // the start of what the tool says itself
  } rows[] = {
      // clang-format off
      {"a decimal comma in the marks file", {"--marks", "comma.csv", "--output", "n.adj", "run1-n1-j2.txt"}, 2,
       "A standard deviation of more than 1 m (3.3 ft) in the marks file:\r\ncomma.csv, line 2: BM N-1\r\n"
       "Write decimals with a point, not a comma; a standard deviation is in the units of the network "
       "(feet).", ""},
      {"an unnamed beginning mark", QStringList{"--marks", "marks.csv", "--output", "n.adj", "unnamed.txt"} + runs, 2,
       "The beginning bench mark has no name in:\r\nunnamed.txt, line 1\r\nA run can only be joined to "
       "the network at named marks.", ""},
      {"files in different units", QStringList{"--marks", "marks.csv", "--output", "n.adj", "metric.txt"} + runs, 2,
       "The field files of the network are in different units:\r\nmetric.txt: metric\r\n"
       "run1-n1-j2.txt: feet (it names none: feet unless --units says otherwise)\r\n"
       "Adjust a network in one unit: give --units, or convert its files again.", ""},
      {"units other than --units", {"--units", "feet", "--marks", "marks.csv", "--output", "n.adj", "metric.txt"}, 2,
       "The field file names other units than --units:\r\nmetric.txt: metric, --units feet\r\n"
       "Adjust a network in the units its field files were written in.", ""},
      {"a warning with --strict", QStringList{"--strict", "--marks", "marks.csv", "--output", "n.adj",
       "typo.txt"} + runs.mid(1), 1, "",
       "typo.txt:"},
      // clang-format on
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    FakePlatform platform = Examples();
    platform.files["comma.csv"] = "name,elevation\r\nBM N-1,499,803\r\nBM N-4,535.459\r\n";
    std::string unnamed = platform.files["run1-n1-j2.txt"];
    unnamed.replace(unnamed.find("1,BM N-1,"), 9, "1,,");
    platform.files["unnamed.txt"] = unnamed;
    platform.files["metric.txt"] = metric_header + platform.files["run4-j2-n4.txt"];
    std::string typo = platform.files["run1-n1-j2.txt"];
    typo.replace(typo.find(",5.000"), 6, ",5.00O");
    platform.files["typo.txt"] = typo;
    const Outcome outcome = RunTool(Tool::kNetwork, platform, row.arguments);
    EXPECT_EQ(outcome.status, row.status);
    if (!row.shown.empty()) {
      ASSERT_FALSE(platform.shown.empty());
      EXPECT_EQ(platform.shown[0].text, row.shown);
    }
    EXPECT_EQ(outcome.errors.substr(0, row.errors.size()), row.errors) << outcome.errors;
    EXPECT_EQ(platform.files.count("n.adj"), 0u);
  }

  // A spur is adjusted, shown as not checked and never counted as meeting;
  // no name is cut to its column.
  FakePlatform platform = Examples();
  platform.files["run7-spur-to-the-north-gate.txt"] = SpurRun();
  const Outcome outcome =
      RunTool(Tool::kNetwork, platform,
              QStringList{"--marks", "marks.csv", "--output", "n.adj", "--export", "n.json"} +
                  runs + QStringList{"run7-spur-to-the-north-gate.txt"});
  EXPECT_EQ(outcome.status, 1) << outcome.errors;
  const std::string& report = platform.files["n.adj"];
  EXPECT_NE(report.find("\r\nBM-NORTH-GATE-1   adjusted "), std::string::npos) << report;
  EXPECT_NE(report.find("   not checked\r\n"), std::string::npos);
  EXPECT_NE(
      report.find("  7   run7-spur-to-the-north-gate.txt   BM N-7            BM-NORTH-GATE-1 "),
      std::string::npos);
  EXPECT_NE(report.find("| 6 of 6 checked runs meet third order"), std::string::npos);
  EXPECT_NE(report.find("| ** 1 run and 1 mark are not checked"), std::string::npos);
  EXPECT_NE(report.find("DOES NOT MEET"), std::string::npos);
  EXPECT_NE(platform.files["n.json"].find("\"meets_third_order\": null"), std::string::npos);
}

}  // namespace
}  // namespace quarrow

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
