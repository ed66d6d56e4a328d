// quarrow-adjust as a script sees it: arguments in, exit status, messages on
// standard error, and the files left behind.

#include "cli/adjust_tool.h"
#include "engine/version.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <sstream>
#include "tests/support/scratch_files.h"

namespace quarrow {
namespace {

const QString kExamples = QUARROW_EXAMPLES;

class AdjustTool : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    QDir::setCurrent(dir.path());
    QFile::copy(kExamples + "/run.txt", "run.txt");
    qputenv("SOURCE_DATE_EPOCH", "1796558400");
  }
  void TearDown() override { QDir::setCurrent(QDir::rootPath()); }

  int Run(QStringList arguments) {
    arguments.prepend("quarrow-adjust");
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunAdjustTool(arguments, out, err);
    output = out.str();
    errors = err.str();
    return status;
  }

  QTemporaryDir dir;
  std::string output;
  std::string errors;
};

TEST_F(AdjustTool, ExitStatusesAndMessages) {
  WriteBytes("empty.txt", "");
  WriteBytes("failing.txt", ReadBytes(QString(QUARROW_TEST_DATA) + "/failing-feet.txt"));
  QDir().mkdir("folder.adj");
  struct Row {
    const char* what;
    QStringList arguments;
    int status;
    std::string errors;   // the start of standard error
    const char* written;  // the report the run leaves, or nullptr for none
  } rows[] = {
      // clang-format off
      {"meets", {"--begin", "100", "--end", "99.91", "--units", "metric", "run.txt"}, 0, "", "run.adj"},
      {"fails, report written", {"--begin", "100", "--end", "99", "--output", "f.adj", "failing.txt"}, 1,
       "2 turns exceed the maximum BS - FS differential.\n"
       "The level run exceeds the maximum BS - FS differential.\n"
       "The elevation misclosure exceeds the allowed maximum.\n", "f.adj"},
      {"fails, strict", {"--strict", "--begin", "100", "--end", "99", "failing.txt"}, 1, "2 turns exceed", nullptr},
      {"missing field file", {"--begin", "1", "--end", "1", "nothere.txt"}, 2, "File Does Not Exist\nnothere.txt\n", nullptr},
      {"not a field file", {"--begin", "1", "--end", "1", "empty.txt"}, 2, "Unrecognized File Format in\nempty.txt\n", nullptr},
      {"begin not a number", {"--begin", "1O0", "--end", "1", "run.txt"}, 2, "quarrow-adjust: --begin is not a number: '1O0'.", nullptr},
      {"end not finite", {"--begin", "1", "--end", "inf", "run.txt"}, 2, "quarrow-adjust: --end is not a number", nullptr},
      {"begin not a number (NaN)", {"--begin", "nan", "--end", "1", "run.txt"}, 2, "quarrow-adjust: --begin is not a number: 'nan'.", nullptr},
      {"field file is a folder", {"--begin", "1", "--end", "1", "folder.adj"}, 2, "File Does Not Exist\nfolder.adj\n", nullptr},
      {"field file is a device", {"--begin", "1", "--end", "1", "/dev/zero"}, 2, "Unable To Open Specified File:\n/dev/zero\n", nullptr},
      {"end missing", {"--begin", "1", "run.txt"}, 2, "quarrow-adjust: --end ELEV is required.", nullptr},
      {"unknown units", {"--begin", "1", "--end", "1", "--units", "yards", "run.txt"}, 2, "quarrow-adjust: --units must be feet or metric", nullptr},
      {"no field file", {"--begin", "1", "--end", "1"}, 2, "quarrow-adjust: name exactly one", nullptr},
      {"unknown option", {"--bgin", "1", "run.txt"}, 2, "quarrow-adjust: Unknown option", nullptr},
      // Report files that cannot be written: see the fault tests.
      // clang-format on
  };
  const std::string field_file = ReadBytes("run.txt");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    QFile::remove("run.adj");
    QFile::remove("f.adj");
    QFile::remove("failing.adj");
    EXPECT_EQ(Run(row.arguments), row.status);
    EXPECT_EQ(errors.substr(0, row.errors.size()), row.errors) << errors;
    if (row.errors.empty()) {
      EXPECT_EQ(errors, "");
    }
    const std::string written = row.written ? row.written : "";
    EXPECT_EQ(QFile::exists("run.adj"), written == "run.adj");
    EXPECT_EQ(QFile::exists("f.adj"), written == "f.adj");
    EXPECT_FALSE(QFile::exists("failing.adj"));
    EXPECT_EQ(ReadBytes("run.txt"), field_file);
    // No temporary file is ever left behind.
    EXPECT_LE(QDir().entryList(QDir::Files).size(), 5);
  }
}

TEST_F(AdjustTool, ExistingReportNeedsForce) {
  WriteBytes("run.adj", "keep me");
  EXPECT_EQ(Run({"--begin", "100", "--end", "99.91", "--units", "metric", "run.txt"}), 2);
  EXPECT_EQ(errors, "run.adj exists.\nUse --force to overwrite it; nothing was written.\n");
  EXPECT_EQ(ReadBytes("run.adj"), "keep me");
  EXPECT_EQ(Run({"--force", "--begin", "100", "--end", "99.91", "--units", "metric", "run.txt"}),
            0);
  EXPECT_EQ(ReadBytes("run.adj"), ReadBytes(QString(QUARROW_GOLDEN) + "/example.adj"));
}

TEST_F(AdjustTool, NegativeElevationsAndFeetByDefault) {
  EXPECT_EQ(Run({"--begin", "-430.512", "--end=-430.6", "run.txt"}), 0) << errors;
  const std::string report = ReadBytes("run.adj");
  EXPECT_NE(report.find("English Units"), std::string::npos);
  EXPECT_NE(report.find("\r\nBM1" + std::string(80, ' ') + "-430.512    0.000   -430.512\r\n"),
            std::string::npos)
      << report;
}

TEST_F(AdjustTool, HelpAndVersion) {
  EXPECT_EQ(Run({"--version"}), 0);
  EXPECT_EQ(output, "quarrow-adjust " + std::string(kVersionText) + "\n");
  EXPECT_EQ(Run({"--help"}), 0);
  EXPECT_NE(output.find("--begin <ELEV>"), std::string::npos);
  EXPECT_NE(output.find("Exit status"), std::string::npos);
}

// The whole program, as a script would run it, on the worked example.
TEST_F(AdjustTool, WorkedExampleEndToEnd) {
  QProcess tool;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("SOURCE_DATE_EPOCH", "1796558400");
  environment.insert("LC_ALL", "C");
  tool.setProcessEnvironment(environment);
  tool.setWorkingDirectory(dir.path());
  tool.start(QUARROW_ADJUST_BINARY, {"--begin", "100", "--end", "99.91", "--units", "metric",
                                     "--output", "run.adj", "run.txt"});
  ASSERT_TRUE(tool.waitForFinished(30000));
  EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
  EXPECT_EQ(ReadBytes("run.adj"), ReadBytes(QString(QUARROW_GOLDEN) + "/example.adj"));
}

}  // namespace
}  // namespace quarrow

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
