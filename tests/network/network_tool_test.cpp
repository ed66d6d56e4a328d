// quarrow-network as a script sees it: arguments in, exit status, messages
// on standard error, and the files left behind.

#include "cli/network_tool.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <cstring>
#include <sstream>

#include "cli/adjust_tool.h"
#include "levelling/levelled_file.h"
#include "levelling/lines_csv.h"

#include "tests/support/scratch_files.h"

namespace quarrow {
namespace {

const QString kExamples = QUARROW_EXAMPLES;
const QStringList kNetworkRuns = {"run1-n1-j2.txt", "run2-j2-j3.txt", "run3-j3-n1.txt",
                                  "run4-j2-n4.txt", "run5-n4-j3.txt", "run6-j3-n7.txt"};

// Two JSON texts that differ at most in the last digits of their numbers.
void ExpectSameJson(const std::string& written, const std::string& golden) {
  const auto number_at = [](const std::string& text, std::size_t at) {
    std::size_t end = at;
    while (end < text.size() && std::strchr("+-.0123456789eE", text[end]) != nullptr) ++end;
    return end;
  };
  std::size_t a = 0;
  std::size_t b = 0;
  while (a < written.size() && b < golden.size()) {
    const bool digit = std::strchr("-0123456789", written[a]) != nullptr &&
                       (a == 0 || std::strchr(" [:", written[a - 1]) != nullptr);
    if (!digit) {
      ASSERT_EQ(written[a], golden[b]) << "at " << a << ": " << written.substr(a, 60);
      ++a;
      ++b;
      continue;
    }
    const std::size_t a_end = number_at(written, a);
    const std::size_t b_end = number_at(golden, b);
    const double x = std::stod(written.substr(a, a_end - a));
    const double y = std::stod(golden.substr(b, b_end - b));
    EXPECT_NEAR(x, y, 1e-9 * std::max(1.0, std::fabs(y))) << "at " << a;
    a = a_end;
    b = b_end;
  }
  EXPECT_EQ(a, written.size());
  EXPECT_EQ(b, golden.size());
}

class NetworkTool : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    QDir::setCurrent(dir.path());
    for (const QString& run : kNetworkRuns) QFile::copy(kExamples + "/network/" + run, run);
    QFile::copy(kExamples + "/network/marks.csv", "marks.csv");
    qputenv("SOURCE_DATE_EPOCH", "1796558400");
  }
  void TearDown() override { QDir::setCurrent(QDir::rootPath()); }

  int Run(QStringList arguments) {
    arguments.prepend("quarrow-network");
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunNetworkTool(arguments, out, err);
    errors = err.str();
    return status;
  }
  int Adjust(QStringList arguments) {
    arguments.prepend("quarrow-adjust");
    std::ostringstream out;
    std::ostringstream err;
    return RunAdjustTool(arguments, out, err);
  }

  QTemporaryDir dir;
  std::string errors;
};

// A network of one run between its two marks, both fixed, is quarrow-adjust:
// the same report beside the field file and the same points.
TEST_F(NetworkTool, OneRunBetweenFixedMarksIsTheSingleRunAdjustment) {
  const struct {
    const char* file;
    const char* units;
    const char* begin_name;
    const char* begin;
    const char* end_name;
    const char* end;
  } examples[] = {
      {"run.txt", "metric", "BM1", "100.000", "BM2", "99.910"},
      {"county-road-feet.txt", "feet", "BM A-112", "432.187", "BM A-113", "438.405"},
      {"kessel-creek-dos.txt", "metric", "RM 7041", "56.482", "RM 7046", "56.851"},
  };
  for (const auto& example : examples) {
    SCOPED_TRACE(example.file);
    QFile::copy(kExamples + "/" + example.file, example.file);
    const QString report = QString(example.file).replace(".txt", ".adj");
    WriteBytes("one.csv", std::string("name,elevation\n") + example.begin_name + "," +
                              example.begin + "\n" + example.end_name + "," + example.end + "\n");
    ASSERT_EQ(Run({"--marks", "one.csv", "--units", example.units, "--output", "net.adj",
                   "--reports", "--export", "net.csv", "--force", example.file}),
              0)
        << errors;
    const std::string network_report = ReadBytes(report);
    const std::string network_csv = ReadBytes("net.csv");
    QFile::remove(report);
    ASSERT_EQ(Adjust({"--begin", example.begin, "--end", example.end, "--units", example.units,
                      "--export", "one-run.csv", "--force", example.file}),
              0);
    EXPECT_EQ(network_report, ReadBytes(report));
    // The network's CSV is quarrow-adjust's with the run in front.
    std::string expected;
    const std::string single = ReadBytes("one-run.csv");
    std::size_t start = 0;
    bool header = true;
    while (start < single.size()) {
      const std::size_t end = single.find("\r\n", start) + 2;
      expected += (header ? std::string("run,") : std::string(example.file) + ",") +
                  single.substr(start, end - start);
      header = false;
      start = end;
    }
    EXPECT_EQ(network_csv, expected);
  }
}

TEST_F(NetworkTool, ExampleNetworkMatchesItsGoldenReport) {
  ASSERT_EQ(Run(QStringList{"--marks", "marks.csv", "--output", "network.adj", "--export",
                            "network.json"} +
                kNetworkRuns),
            0)
      << errors;
  EXPECT_EQ(ReadBytes("network.adj"), ReadBytes(QString(QUARROW_GOLDEN) + "/network.adj"));
  // The same document, every number the same to 1e-9 of itself (the
  // solver's factorisation may round the last bits otherwise).
  ExpectSameJson(ReadBytes("network.json"), ReadBytes(QString(QUARROW_GOLDEN) + "/network.json"));
  // Turning points are named TP1, TP2... in every run and stay in their own
  // runs: the network has the five bench marks only.
  const std::string json = ReadBytes("network.json");
  EXPECT_EQ(json.find("\"name\": \"TP1\", \"status\""), std::string::npos);
  std::size_t marks = 0;
  for (std::size_t at = json.find("\"status\""); at != std::string::npos;
       at = json.find("\"status\"", at + 1)) {
    ++marks;
  }
  EXPECT_EQ(marks, 5u);
  EXPECT_NE(json.find("\"global_test_passed\": true"), std::string::npos);
  ASSERT_EQ(Run(QStringList{"--force", "--marks", "marks.csv", "--output", "network.adj",
                            "--export", "network.csv"} +
                kNetworkRuns),
            0)
      << errors;
  EXPECT_EQ(ReadBytes("network.csv"), ReadBytes(QString(QUARROW_GOLDEN) + "/network.csv"));
}

// A rod read 0.040 ft wrong on one foresight of run 4: that run stands out.
TEST_F(NetworkTool, BlunderHasTheLargestStandardizedResidualAndIsFlagged) {
  std::string run = ReadBytes("run4-j2-n4.txt");
  const std::size_t line =
      run.find("\r\n3,");  // a foresight line of setup 3 follows setup 3's backsight
  const std::size_t foresight = run.find("\r\n", line + 2) + 2;
  const std::size_t rod = run.find("5.000", foresight);
  run.replace(rod, 5, "5.040");
  WriteBytes("run4-j2-n4.txt", run);
  ASSERT_EQ(Run(QStringList{"--marks", "marks.csv", "--output", "n.adj", "--export", "n.json"} +
                kNetworkRuns),
            1)
      << errors;
  const std::string json = ReadBytes("n.json");
  std::vector<double> standardized;
  std::vector<bool> flagged;
  for (std::size_t at = json.find("\"standardized_residual\": "); at != std::string::npos;
       at = json.find("\"standardized_residual\": ", at + 1)) {
    standardized.push_back(std::fabs(std::stod(json.substr(at + 25, 30))));
    flagged.push_back(json.compare(json.find("\"flagged\": ", at) + 11, 4, "true") == 0);
  }
  ASSERT_EQ(standardized.size(), 6u);
  const auto largest = std::max_element(standardized.begin(), standardized.end());
  EXPECT_EQ(largest - standardized.begin(), 3);
  EXPECT_TRUE(flagged[3]);
  EXPECT_NE(ReadBytes("n.adj").find("** 1 run has a standardized residual beyond 3.29"),
            std::string::npos);
}

TEST_F(NetworkTool, ExitStatusesAndMessages) {
  WriteBytes("twice.csv", "name,elevation\nBM N-1,1\nBM N-1 ,2\n");
  WriteBytes("one-fixed.csv", "BM N-4,535.459\n");
  WriteBytes("existing.adj", "keep me");
  // A run whose first backsight names no point.
  std::string unnamed = ReadBytes("run6-j3-n7.txt");
  unnamed.replace(2, 3, "  ");
  WriteBytes("unnamed.txt", unnamed);
  const QStringList all = kNetworkRuns;
  const QStringList two_loops = {"run1-n1-j2.txt", "run2-j2-j3.txt", "run3-j3-n1.txt",
                                 "run4-j2-n4.txt", "run5-n4-j3.txt"};
  struct Row {
    const char* what;
    QStringList arguments;
    int status;
    std::string errors;  // the start of standard error
    bool written;        // out.adj is written
  } rows[] = {
      // clang-format off
      {"meets", QStringList{"--marks", "marks.csv", "--output", "out.adj"} + all, 0, "", true},
      {"sigma far too large: pessimistic, no failure", QStringList{"--sigma", "200", "--marks", "marks.csv", "--output", "out.adj"} + all, 0, "", true},
      {"global test fails: sigma far too small", QStringList{"--sigma", "0.2", "--marks", "marks.csv", "--output", "out.adj"} + all, 1, "", true},
      {"strict writes nothing", QStringList{"--strict", "--sigma", "0.2", "--marks", "marks.csv", "--output", "out.adj"} + all, 1, "quarrow-network: 6 of 6 runs and 3 of 3 loops meet third order; the global test failed", false},
      {"mark listed twice", QStringList{"--marks", "twice.csv", "--output", "out.adj"} + all, 2, "The mark BM N-1 is listed twice", false},
      {"marks cut off from every listed mark", QStringList{"--marks", "one-fixed.csv", "--output", "out.adj", "run1-n1-j2.txt", "run6-j3-n7.txt"}, 2, "These bench marks reach no mark of the marks file through runs:\nBM N-1, J-2, J-3, BM N-7\nTheir runs:\nrun1-n1-j2.txt, run6-j3-n7.txt", false},
      {"unnamed beginning mark", QStringList{"--marks", "marks.csv", "--output", "out.adj", "run1-n1-j2.txt", "unnamed.txt"}, 2, "The beginning bench mark has no name in:\nunnamed.txt", false},
      {"field file twice", QStringList{"--marks", "marks.csv", "--output", "out.adj", "run1-n1-j2.txt", "./run1-n1-j2.txt"}, 2, "quarrow-network: the field file ./run1-n1-j2.txt is given twice", false},
      {"report over a field file", QStringList{"--marks", "marks.csv", "--output", "run3-j3-n1.txt"} + two_loops, 2, "quarrow-network: RUN_FILE run3-j3-n1.txt and --output run3-j3-n1.txt name the same file", false},
      {"export over the marks file", QStringList{"--marks", "marks.csv", "--output", "out.adj", "--export", "marks.csv"} + all, 2, "quarrow-network: --marks marks.csv and --export marks.csv name the same file", false},
      {"existing report without --force", QStringList{"--marks", "marks.csv", "--output", "existing.adj"} + all, 2, "existing.adj exists", false},
      {"missing marks file", QStringList{"--marks", "none.csv", "--output", "out.adj"} + all, 2, "Unable To Open Specified File:\nnone.csv", false},
      {"no sigma", QStringList{"--sigma", "0", "--marks", "marks.csv", "--output", "out.adj"} + all, 2, "quarrow-network: --sigma must be a positive number", false},
      {"no run", {"--marks", "marks.csv", "--output", "out.adj"}, 2, "quarrow-network: name at least one RUN_FILE", false},
      {"export of unknown kind", QStringList{"--marks", "marks.csv", "--output", "out.adj", "--export", "x.txt"} + all, 2, "quarrow-network: --export must name a .csv or .json file", false},
      // clang-format on
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    QFile::remove("out.adj");
    const std::string fields = ReadBytes("run3-j3-n1.txt");
    EXPECT_EQ(Run(row.arguments), row.status) << errors;
    EXPECT_EQ(errors.substr(0, row.errors.size()), row.errors);
    EXPECT_EQ(QFile::exists("out.adj"), row.written);
    EXPECT_EQ(ReadBytes("run3-j3-n1.txt"), fields);
    EXPECT_EQ(ReadBytes("existing.adj"), "keep me");
  }
}

TEST_F(NetworkTool, RunReportsReplaceOnlyWithForce) {
  WriteBytes("run1-n1-j2.adj", "old");
  EXPECT_EQ(
      Run(QStringList{"--marks", "marks.csv", "--output", "out.adj", "--reports"} + kNetworkRuns),
      2);
  EXPECT_EQ(ReadBytes("run1-n1-j2.adj"), "old");
  EXPECT_FALSE(QFile::exists("out.adj"));
  EXPECT_FALSE(QFile::exists("run2-j2-j3.adj"));
  EXPECT_EQ(Run(QStringList{"--force", "--marks", "marks.csv", "--output", "out.adj", "--reports"} +
                kNetworkRuns),
            0)
      << errors;
  EXPECT_NE(ReadBytes("run1-n1-j2.adj"), "old");
  EXPECT_TRUE(QFile::exists("run6-j3-n7.adj"));
}

// The adjusted elevation of `mark` in a JSON export.
double AdjustedElevation(const std::string& json, const std::string& mark) {
  const std::size_t at = json.find("{\"name\": \"" + mark + "\", \"status\"");
  const std::size_t value = json.find("\"adjusted_elevation\": ", at) + 22;
  return std::stod(json.substr(value, 30));
}

// With a weighted mark, the a-priori sigma sets how much the runs weigh
// against it; with only fixed marks it scales nothing but the statistics.
TEST_F(NetworkTool, SigmaMovesTheAdjustmentOnlyWithWeightedMarks) {
  WriteBytes("all-fixed.csv", "BM N-1,499.803\nBM N-4,535.459\nBM N-7,464.768\n");
  const struct {
    const char* marks;
    bool moves;
  } rows[] = {{"marks.csv", true}, {"all-fixed.csv", false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.marks);
    std::vector<double> elevations;
    for (const char* sigma : {"1", "4"}) {
      Run(QStringList{"--force", "--sigma", sigma, "--marks", row.marks, "--output", "s.adj",
                      "--export", "s.json"} +
          kNetworkRuns);
      ASSERT_TRUE(QFile::exists("s.json")) << errors;
      elevations.push_back(AdjustedElevation(ReadBytes("s.json"), "J-3"));
    }
    if (row.moves) {
      EXPECT_GT(std::fabs(elevations[0] - elevations[1]), 1e-4);
    } else {
      EXPECT_NEAR(elevations[0], elevations[1], 1e-9);
    }
  }
}

// A loop run (from a mark back to itself) is one more observation: its whole
// difference is its misclosure. A mark that only loop runs reach is not tied
// to anything.
TEST_F(NetworkTool, LoopRunsCloseOnThemselves) {
  std::string loop = ReadBytes("run1-n1-j2.txt");
  const std::size_t last = loop.rfind("\r\n", loop.size() - 3) + 2;
  const std::size_t name = loop.find(',', last) + 1;
  loop.replace(name, loop.find(',', name) - name, "BM N-1");
  WriteBytes("loop.txt", loop);
  EXPECT_EQ(Run(QStringList{"--marks", "marks.csv", "--output", "l.adj", "--export", "l.json",
                            "loop.txt"} +
                kNetworkRuns),
            1);
  const std::string json = ReadBytes("l.json");
  EXPECT_NE(json.find("{\"runs\": [\"loop.txt\"], \"reversed\": [false], \"between_fixed\": null"),
            std::string::npos);
  EXPECT_NE(ReadBytes("l.adj").find("1 run has a standardized residual beyond 3.29"),
            std::string::npos);

  loop.replace(name, 6, "X-9");
  loop.replace(loop.find(',') + 1, 6, "X-9");
  WriteBytes("stray.txt", loop);
  EXPECT_EQ(
      Run(QStringList{"--marks", "marks.csv", "--output", "l2.adj", "stray.txt"} + kNetworkRuns),
      2);
  EXPECT_NE(errors.find("These bench marks reach no mark of the marks file through runs:\nX-9\n"
                        "Their runs:\nstray.txt"),
            std::string::npos)
      << errors;
  EXPECT_FALSE(QFile::exists("l2.adj"));
}

TEST_F(NetworkTool, ListedMarkOnNoRunIsAWarning) {
  WriteBytes("extra.csv", ReadBytes("marks.csv") + "BM Q-5,300.000\r\n");
  EXPECT_EQ(Run(QStringList{"--marks", "extra.csv", "--output", "w.adj"} + kNetworkRuns), 0);
  EXPECT_NE(ReadBytes("w.adj").find("** Warning: the listed mark BM Q-5 is on no run.\r\n"),
            std::string::npos);
}

// The text of the JSON's "marks" array: the adjusted elevations and their
// standard deviations, whatever the observations were read from.
std::string MarksOf(const std::string& json) {
  const std::size_t begin = json.find("\"marks\"");
  return json.substr(begin, json.find("\"untouched_marks\"") - begin);
}

// A digital level's file among the run files is its levelled lines, each one
// observation of the level group: the same adjustment as the lines file
// quarrow-convert writes from it, and the README's example network meets.
TEST_F(NetworkTool, DigitalLevelFilesJoinAsLinesOfTheLevelGroup) {
  const QStringList levels = {"level-line.gsi", "level-line.dat", "levels.csv"};
  for (const QString& file : levels) QFile::copy(kExamples + "/network/" + file, file);
  ASSERT_EQ(Run(QStringList{"--marks", "marks.csv", "--output", "net.adj", "--lines", "levels.csv",
                            "--variance-components", "--export", "net.json"} +
                kNetworkRuns + QStringList{"level-line.gsi", "level-line.dat"}),
            0)
      << errors;
  const std::string json = ReadBytes("net.json");
  for (const char* line :
       {R"("file": "level-line.gsi", "line": 1, "from": "BM N-4", "to": "J-2")",
        R"("file": "level-line.dat", "line": 2, "from": "BM N-4", "to": "J-3")"}) {
    EXPECT_NE(json.find(line), std::string::npos) << line;
  }
  EXPECT_NE(json.find(R"("name": "level", "observations": 4)"), std::string::npos);

  QStringList converted;
  for (const char* file : {"level-line.gsi", "level-line.dat"}) {
    const QString csv = QString(file) + ".csv";
    WriteBytes(csv, WriteLinesCsv(ReadLevelledFile(ReadBytes(file)), file));
    converted << "--lines" << csv;
  }
  ASSERT_EQ(Run(QStringList{"--marks", "marks.csv", "--output", "csv.adj", "--variance-components",
                            "--export", "csv.json"} +
                converted + QStringList{"--lines", "levels.csv"} + kNetworkRuns),
            0)
      << errors;
  // The lines file holds each difference to its last written decimal.
  ExpectSameJson(MarksOf(ReadBytes("csv.json")), MarksOf(json));
}

}  // namespace
}  // namespace quarrow

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
