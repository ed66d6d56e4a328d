// quarrow-adjust's outputs beside the report: the CSV and JSON agree with the
// report they came with, every output is refused or kept as a script would
// expect, and the options that change the adjustment say so in the report.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <sstream>

#include "cli/adjust_tool.h"
#include "engine/report_format.h"
#include "exports/name_encoding.h"
#include "tests/support/scratch_files.h"

namespace quarrow {
namespace {

const QString kExamples = QUARROW_EXAMPLES;
const QString kGolden = QUARROW_GOLDEN;

struct Example {
  const char* field_file;
  const char* golden;
  QStringList elevations;
  NameEncoding encoding;
};

const Example kEveryExample[] = {
    {"run.txt",
     "example.adj",
     {"--begin", "100", "--end", "99.91", "--units", "metric"},
     NameEncoding::kWindows1252},
    {"county-road-feet.txt",
     "county-road-feet.adj",
     {"--begin", "432.187", "--end", "438.405"},
     NameEncoding::kWindows1252},
    {"kessel-creek-dos.txt",
     "kessel-creek-dos.adj",
     {"--begin", "56.482", "--end", "56.851", "--units", "metric"},
     NameEncoding::kCodePage437},
};

// A point as the report shows it: the name as far as its column holds it,
// and the three elevation columns as printed.
struct ReportPoint {
  std::string name;
  std::string raw, correction, adjusted;
};

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Mark lines and side-shot lines of a report, in its order.
std::vector<ReportPoint> ReportPoints(const std::string& report) {
  std::vector<ReportPoint> points;
  std::istringstream lines(report);
  bool in_body = false;
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.starts_with("---------")) {
      in_body = true;
      continue;
    }
    if (!in_body || line.size() != 111 || line.starts_with("  @")) continue;
    const bool stub = line.starts_with("    STUB ");
    std::string correction = Trimmed(line.substr(92, 8));
    if (correction.starts_with('+')) correction.erase(0, 1);
    points.push_back({Trimmed(stub ? line.substr(9, 42) : line.substr(0, 80)),
                      Trimmed(line.substr(81, 10)), correction, Trimmed(line.substr(101, 10))});
  }
  return points;
}

// RFC 4180 rows: quoted fields may hold commas, quotes and line ends.
std::vector<std::vector<std::string>> CsvRows(const std::string& text) {
  std::vector<std::vector<std::string>> rows(1);
  std::string field;
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        field += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      rows.back().push_back(field);
      field.clear();
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      rows.back().push_back(field);
      field.clear();
      rows.emplace_back();
      ++i;
    } else {
      field += c;
    }
  }
  if (rows.back().empty()) rows.pop_back();
  return rows;
}

class AdjustToolOutputs : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    QDir::setCurrent(dir.path());
    for (const Example& example : kEveryExample) {
      QFile::copy(kExamples + "/" + example.field_file, example.field_file);
    }
    qputenv("SOURCE_DATE_EPOCH", "1796558400");
  }
  void TearDown() override { QDir::setCurrent(QDir::rootPath()); }

  int Run(QStringList arguments) {
    arguments.prepend("quarrow-adjust");
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunAdjustTool(arguments, out, err);
    errors = err.str();
    return status;
  }

  // The real program, for what needs its drawing module.
  int RunProgram(const QStringList& arguments) {
    QProcess tool;
    tool.setWorkingDirectory(dir.path());
    tool.start(QUARROW_ADJUST_BINARY, arguments);
    EXPECT_TRUE(tool.waitForFinished(60000));
    errors = tool.readAllStandardError().toStdString();
    return tool.exitCode();
  }

  QStringList Files() { return QDir().entryList(QDir::Files | QDir::Hidden, QDir::Name); }

  QTemporaryDir dir;
  std::string errors;
};

TEST_F(AdjustToolOutputs, CsvAndJsonAgreeWithTheReport) {
  for (const Example& example : kEveryExample) {
    SCOPED_TRACE(example.field_file);
    QStringList arguments = example.elevations;
    arguments << "--force"
              << "--output"
              << "run.adj"
              << "--export"
              << "points.CSV"
              << "--export"
              << "run.json" << example.field_file;
    ASSERT_EQ(Run(arguments), 0) << errors;
    // The report is the one it always was.
    std::string golden = ReadBytes(kGolden + "/" + example.golden);
    const std::string field_path = std::string("  ") + example.field_file + "\r\n";
    golden.replace(golden.find("  run.txt\r\n"), 11, field_path);
    EXPECT_EQ(ReadBytes("run.adj"), golden);

    const std::vector<ReportPoint> report = ReportPoints(golden);
    const std::vector<std::vector<std::string>> csv = CsvRows(ReadBytes("points.CSV"));
    ASSERT_EQ(csv.size(), report.size() + 1);
    EXPECT_EQ(csv[0],
              (std::vector<std::string>{"name", "role", "setup", "distance", "raw_elevation",
                                        "correction", "adjusted_elevation"}));
    const QJsonObject json =
        QJsonDocument::fromJson(QByteArray::fromStdString(ReadBytes("run.json"))).object();
    const QJsonArray points = json["points"].toArray();
    ASSERT_EQ(points.size(), static_cast<qsizetype>(report.size()));
    for (std::size_t i = 0; i < report.size(); ++i) {
      SCOPED_TRACE(report[i].name);
      const std::vector<std::string>& row = csv[i + 1];
      ASSERT_EQ(row.size(), 7u);
      EXPECT_TRUE(row[0].starts_with(ToUtf8(report[i].name, example.encoding))) << row[0];
      const char* role = i == 0 ? "begin" : i + 1 == report.size() ? "end" : nullptr;
      if (role != nullptr) EXPECT_EQ(row[1], role);
      EXPECT_EQ(row[4], report[i].raw);
      EXPECT_EQ(row[5], report[i].correction);
      EXPECT_EQ(row[6], report[i].adjusted);
      // The JSON holds the same points unrounded.
      const QJsonObject point = points[static_cast<qsizetype>(i)].toObject();
      EXPECT_EQ(point["name"].toString().toStdString(), row[0]);
      EXPECT_EQ(point["role"].toString().toStdString(), row[1]);
      EXPECT_EQ(point["setup"].toString().toStdString(), row[2]);
      EXPECT_EQ(FormatFixed3(point["distance"].toDouble(), "."), row[3]);
      EXPECT_EQ(FormatFixed3(point["adjusted_elevation"].toDouble(), "."), row[6]);
    }
    EXPECT_TRUE(json["third_order"].toObject()["meets"].toBool());
    EXPECT_EQ(json["orders"].toArray().size(), 5);
    EXPECT_EQ(json["date"].toString(), "2026-12-06");
    EXPECT_EQ(json["end"].toObject()["name"].toString().toStdString(), csv.back()[0]);
    QFile::remove("run.adj");
  }
}

TEST_F(AdjustToolOutputs, RefusalsWriteNothing) {
  WriteBytes("old.csv", "keep");
  struct Row {
    const char* what;
    QStringList arguments;
    std::string errors;  // the start of standard error
  } rows[] = {
      // clang-format off
      {"export of another kind", {"--export", "run.xlsx"}, "quarrow-adjust: --export must name a .csv or .json file, not 'run.xlsx'."},
      {"profile of another kind", {"--profile", "run.jpg"}, "quarrow-adjust: --profile must name a .svg, .png or .pdf file, not 'run.jpg'."},
      {"two names for one export", {"--export", "a.csv", "--export", "./a.csv"}, "quarrow-adjust: --export a.csv and --export ./a.csv name the same file"},
      {"export over the report", {"--output", "x.json", "--export", "x.json"}, "quarrow-adjust: --output x.json and --export x.json name the same file"},
      {"export over the field file", {"--export", "sub/../run.txt.csv", "--export", "run.txt.csv"}, "quarrow-adjust: --export sub/../run.txt.csv and --export run.txt.csv name the same file"},
      {"existing export", {"--export", "old.csv"}, "old.csv exists.\nUse --force to overwrite it; nothing was written.\n"},
      {"refraction of 1", {"--refraction", "1"}, "quarrow-adjust: --refraction must be a number from 0 up to 1"},
      {"negative refraction", {"--refraction", "-0.1"}, "quarrow-adjust: --refraction must be"},
      {"refraction not a number", {"--refraction", "nan"}, "quarrow-adjust: --refraction must be"},
      {"refraction empty", {"--refraction", ""}, "quarrow-adjust: --refraction must be"},
      {"distribution unknown", {"--distribute", "time"}, "quarrow-adjust: --distribute must be distance or setups, not 'time'."},
      // clang-format on
  };
  QDir().mkdir("sub");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    QStringList arguments = row.arguments;
    arguments << "--begin"
              << "100"
              << "--end"
              << "99.91"
              << "--units"
              << "metric"
              << "run.txt";
    EXPECT_EQ(Run(arguments), 2);
    EXPECT_EQ(errors.substr(0, row.errors.size()), row.errors) << errors;
    EXPECT_EQ(ReadBytes("old.csv"), "keep");
    EXPECT_EQ(Files(),
              (QStringList{"county-road-feet.txt", "kessel-creek-dos.txt", "old.csv", "run.txt"}));
  }
  // The field file itself, named as an export.
  QFile::copy("run.txt", "points.csv");
  EXPECT_EQ(Run({"--begin", "1", "--end", "1", "--export", "./points.csv", "points.csv"}), 2);
  EXPECT_NE(errors.find("FIELD_FILE points.csv and --export ./points.csv name the same file"),
            std::string::npos)
      << errors;
  EXPECT_EQ(ReadBytes("points.csv"), ReadBytes("run.txt"));
}

TEST_F(AdjustToolOutputs, StrictFailureWritesNothingAtAll) {
  WriteBytes("failing.txt", ReadBytes(QString(QUARROW_TEST_DATA) + "/failing-feet.txt"));
  EXPECT_EQ(Run({"--strict", "--begin", "100", "--end", "99", "--export", "f.csv", "--export",
                 "f.json", "failing.txt"}),
            1);
  EXPECT_EQ(Files(), (QStringList{"county-road-feet.txt", "failing.txt", "kessel-creek-dos.txt",
                                  "run.txt"}));
  // Without --strict the failed run is written, and the JSON says why.
  EXPECT_EQ(Run({"--begin", "100", "--end", "99", "--export", "f.json", "failing.txt"}), 1);
  const QJsonObject third_order =
      QJsonDocument::fromJson(QByteArray::fromStdString(ReadBytes("f.json")))
          .object()["third_order"]
          .toObject();
  EXPECT_FALSE(third_order["meets"].toBool());
  EXPECT_EQ(third_order["failures"].toArray().size(), 3);
}

TEST_F(AdjustToolOutputs, OptionsThatChangeTheAdjustmentSaySo) {
  ASSERT_EQ(Run({"--begin", "100", "--end", "99.91", "--units", "metric", "--refraction", "0.13",
                 "--distribute", "setups", "run.txt"}),
            0)
      << errors;
  const std::string report = ReadBytes("run.adj");
  const std::string curvature =
      "| Curvature and refraction applied, k = 0.130." + std::string(33, ' ') + "|\r\n";
  const std::string shares =
      "| The misclosure was distributed equally over 2 setups." + std::string(24, ' ') + "|\r\n";
  const std::size_t at = report.find(curvature);
  ASSERT_NE(at, std::string::npos) << report;
  EXPECT_EQ(report.substr(at + curvature.size(), shares.size()), shares);
  EXPECT_TRUE(report.ends_with(shares + "+" + std::string(78, '-') + "+\r\n"));
}

// Through the real program, which loads its drawing module for --profile.
TEST_F(AdjustToolOutputs, ProfileInEachFormat) {
  for (const char* name : {"run.svg", "run.png", "RUN.PDF"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(RunProgram({"--begin", "100", "--end", "99.91", "--units", "metric", "--force",
                          "--profile", name, "run.txt"}),
              0)
        << errors;
    EXPECT_EQ(errors, "");
  }
  QXmlStreamReader svg(QByteArray::fromStdString(ReadBytes("run.svg")));
  while (!svg.atEnd()) svg.readNext();
  EXPECT_FALSE(svg.hasError()) << svg.errorString().toStdString();
  EXPECT_GE(QImage("run.png").width(), 1600);
  EXPECT_TRUE(ReadBytes("RUN.PDF").starts_with("%PDF"));
}

}  // namespace
}  // namespace quarrow
