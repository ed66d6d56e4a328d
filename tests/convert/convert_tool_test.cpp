// quarrow-convert as a script sees it: arguments in, exit status, the
// summary and messages, and the files left behind in a scratch folder.

#include "cli/convert_tool.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fstream>
#include <sstream>

#include "cli/console_platform.h"
#include "tests/support/fake_platform.h"

namespace quarrow {
namespace {

const std::string kExamples = QUARROW_EXAMPLES;

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

const std::string kGsi =
    "110001+00000BM1 22.104+08958300 31..00+00052114 87..10+00001500 \r\n"
    "110002+00000TP1 22.104+09002150 31..00+00051880 \r\n"
    "110003+00000TP1 22.104+08959100 31..00+00048300 \r\n"
    "110004+00000BM2 22.104+09001400 31..00+00047950 \r\n";

const std::string kGsiFieldFile =
    "Converted by quarrow-convert from GSI file run.gsi; units: metric\r\n"
    "1,BM1,89\xb0"
    "58'30.00,52.1140,1.5000\r\n"
    "1,TP1,90\xb0"
    "02'15.00,51.8800,1.5000\r\n"
    "2,TP1,89\xb0"
    "59'10.00,48.3000,1.5000\r\n"
    "2,BM2,90\xb0"
    "01'40.00,47.9500,1.5000\r\n";

// Two setups, each on its own station; the second backsights the first.
const std::string kTraverse =
    "<JOBFile><FieldBook>\n"
    "<TargetRecord ID=\"t1\"><TargetHeight>1.5</TargetHeight></TargetRecord>\n"
    "<StationRecord ID=\"s1\"><StationName>STN1</StationName></StationRecord>\n"
    "<PointRecord ID=\"p1\"><Name>RM1</Name><StationID>s1</StationID><TargetID>t1</TargetID>"
    "<Circle><VerticalCircle>90</VerticalCircle><EDMDistance>80</EDMDistance></Circle>"
    "</PointRecord>\n"
    "<PointRecord ID=\"p2\"><Name>STN2</Name><StationID>s1</StationID><TargetID>t1</TargetID>"
    "<Circle><VerticalCircle>90</VerticalCircle><EDMDistance>120</EDMDistance></Circle>"
    "</PointRecord>\n"
    "<StationRecord ID=\"s2\"><StationName>STN2</StationName></StationRecord>\n"
    "<PointRecord ID=\"p3\"><Name>STN1</Name><StationID>s2</StationID><TargetID>t1</TargetID>"
    "<Circle><VerticalCircle>90</VerticalCircle><EDMDistance>120</EDMDistance></Circle>"
    "</PointRecord>\n"
    "<PointRecord ID=\"p4\"><Name>STN3</Name><StationID>s2</StationID><TargetID>t1</TargetID>"
    "<Circle><VerticalCircle>90</VerticalCircle><EDMDistance>95</EDMDistance></Circle>"
    "</PointRecord>\n"
    "</FieldBook></JOBFile>\n";

class ConvertTool : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir.isValid()); }

  std::string Path(const std::string& name) const { return dir.path().toStdString() + "/" + name; }

  int Run(QStringList arguments) {
    arguments.prepend("quarrow-convert");
    std::ostringstream out;
    std::ostringstream err;
    ConsolePlatform platform(err);
    const int status = RunConvertTool(arguments, platform, out, err);
    output = out.str();
    errors = err.str();
    return status;
  }

  // Everything in the scratch folder: no temporary file may be left behind.
  QStringList Files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }

  QTemporaryDir dir;
  std::string output;
  std::string errors;
};

TEST_F(ConvertTool, WritesBesideTheInputAndSummarises) {
  WriteBytes(Path("run.gsi"), kGsi);
  ASSERT_EQ(Run({QString::fromStdString(Path("run.gsi"))}), kConvertWritten) << errors;
  EXPECT_EQ(ReadBytes(Path("run.txt")), kGsiFieldFile);
  EXPECT_EQ(output, "Wrote " + Path("run.txt") + " from the GSI file " + Path("run.gsi") +
                        ".\n"
                        "Setups: 2\n"
                        "Observations: 4\n"
                        "Side shots: 0\n"
                        "Face pairs averaged: 0\n"
                        "Largest index error: none, no point was read in both faces\n"
                        "Names changed: 0\n"
                        "Units in the file: metres, zenith angles in degrees, minutes and "
                        "seconds\n"
                        "Choose metric units when you adjust this file.\n");
  EXPECT_EQ(errors, "");
}

TEST_F(ConvertTool, OptionsChangeTheFieldFile) {
  WriteBytes(Path("run.gsi"), kGsi);
  const QString input = QString::fromStdString(Path("run.gsi"));
  ASSERT_EQ(
      Run({"--units", "feet", "--dos", "--output", QString::fromStdString(Path("f.txt")), input}),
      kConvertWritten);
  const std::string text = ReadBytes(Path("f.txt"));
  EXPECT_EQ(text.substr(0, text.find('\n') + 1),
            "Converted by quarrow-convert from GSI file run.gsi; units: feet\r\n");
  EXPECT_NE(text.find("1,BM1,89\xf8"
                      "58'30.00,170.9777,4.9213\r\n"),
            std::string::npos)
      << text;
  EXPECT_NE(output.find("Choose English units when you adjust this file.\n"), std::string::npos);
  ASSERT_EQ(Run({"--from", "gsi", "--units", "metric", "--output",
                 QString::fromStdString(Path("g.txt")), input}),
            kConvertWritten);
  EXPECT_EQ(ReadBytes(Path("g.txt")), kGsiFieldFile);
}

TEST_F(ConvertTool, RefusalsWriteNothing) {
  WriteBytes(Path("run.gsi"), kGsi);
  WriteBytes(Path("run.jxl"), ReadBytes(kExamples + "/convert/run.jxl"));
  WriteBytes(Path("notes.txt"), "Level run, Kestrel Lane\r\n");
  WriteBytes(Path("bad.gsi"), kGsi + "110005+00000BM2 22.104+0900X400 31..00+00047950 \r\n");
  WriteBytes(Path("broken.jxl"), "<?xml version=\"1.0\"?>\n<JOBFile>\n<FieldBook>\n");
  WriteBytes(Path("empty.gsi"), " \r\n\r\n");
  WriteBytes(Path("guess.gsi"), kGsi + "110005+00000TP1 22.104+08958300 31..00+00052114 \r\n");
  WriteBytes(Path("traverse.jxl"), kTraverse);
  WriteBytes(Path("track.xml"), "<?xml version=\"1.0\"?>\n<gpx><trk/></gpx>\n");
  WriteBytes(Path("coordinates.jxl"),
             "<JOBFile><FieldBook><StationRecord ID=\"s1\"><StationName>S</StationName>"
             "</StationRecord>\n<PointRecord ID=\"k1\"><Name>BM1</Name><Method>Keyed</Method>"
             "<Grid><Elevation>5</Elevation></Grid></PointRecord></FieldBook></JOBFile>\n");
  struct Row {
    const char* what;
    QStringList arguments;
    std::string message;  // the first line on standard error
  };
  auto p = [this](const char* name) { return QString::fromStdString(Path(name)); };
  const Row rows[] = {
      {"no input", {}, "quarrow-convert: name exactly one INPUT."},
      {"two inputs", {p("run.gsi"), p("run.jxl")}, "quarrow-convert: name exactly one INPUT."},
      {"unknown option", {"--fast", p("run.gsi")}, "quarrow-convert: Unknown option 'fast'."},
      {"bad --from",
       {"--from", "csv", p("run.gsi")},
       "quarrow-convert: --from must be jobxml, gsi, rw5, landxml, sdr, gts7, gsi-level or dini, "
       "not 'csv'."},
      {"bad --units",
       {"--units", "yards", p("run.gsi")},
       "quarrow-convert: --units must be metric or feet, not 'yards'."},
      {"missing input",
       {p("none.gsi")},
       "quarrow-convert: " + Path("none.gsi") + ": no such file."},
      {"neither format",
       {"--output", p("out.txt"), p("notes.txt")},
       "quarrow-convert: " + Path("notes.txt") +
           ": line 1: this is none of the formats quarrow-convert reads: JobXML (an XML "
           "document whose root element is JOBFile), GSI (lines of GSI-8 or GSI-16 words, a "
           "GSI-16 line starting with \"*\"), RW5 (comma-separated records such as MO, OC, BK, "
           "LS, SS), LandXML (an XML document whose root element is LandXML), SDR33 (fixed-width "
           "records after a header record 00NMSDR33) or GTS-7 (lines such as JOB, UNITS, STN, "
           "BS, FS, SS, SD)."},
      {"output is the input",
       {"--output", p("notes.txt"), "--force", p("notes.txt")},
       "quarrow-convert: " + Path("notes.txt") +
           " is the input itself; use --output to name the field file."},
      {"default output is the input",
       {p("notes.txt")},
       "quarrow-convert: " + Path("notes.txt") +
           " is the input itself; use --output to name the field file."},
      {"GSI read as JobXML",
       {"--from", "jobxml", p("run.gsi")},
       "quarrow-convert: " + Path("run.gsi") + ": line 1, column 1: the XML does not parse"},
      {"JobXML read as GSI",
       {"--from", "gsi", p("run.jxl")},
       "quarrow-convert: " + Path("run.jxl") + ": line 1: the word"},
      {"malformed word",
       {p("bad.gsi")},
       "quarrow-convert: " + Path("bad.gsi") +
           ": line 5: the word \"22.104+0900X400\" holds other than digits in its data; a "
           "measurement is digits."},
      {"XML cut short",
       {p("broken.jxl")},
       "quarrow-convert: " + Path("broken.jxl") + ": line 4, column 0: the XML does not parse"},
      {"blanks only",
       {"--output", p("out.txt"), p("empty.gsi")},
       "quarrow-convert: " + Path("empty.gsi") +
           ": the file is empty: this is none of the formats"},
      {"GSI that cannot be split into setups",
       {p("guess.gsi")},
       "quarrow-convert: " + Path("guess.gsi") +
           ": line 5: the file cannot be split into setups. No station block"},
      {"a traverse",
       {p("traverse.jxl")},
       "quarrow-convert: " + Path("traverse.jxl") +
           ": record s2: this file is a traverse, not a level run: every setup backsights the "
           "point the setup before it stood on (setup 2 at \"STN2\" backsights \"STN1\")"},
      {"XML of another kind",
       {p("track.xml")},
       "quarrow-convert: " + Path("track.xml") +
           ": line 2: the root element is <gpx>; expected <JOBFile> (Trimble JobXML) or "
           "<LandXML> (LandXML 1.2)."},
      {"coordinates only",
       {p("coordinates.jxl")},
       "quarrow-convert: " + Path("coordinates.jxl") +
           ": record k1: the file holds only coordinates (1 point, keyed in"},
  };
  const QStringList before = Files();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(Run(row.arguments), kConvertInputError);
    EXPECT_EQ(errors.substr(0, row.message.size()), row.message) << errors;
    EXPECT_EQ(output, "");
    EXPECT_EQ(Files(), before);
  }
}

TEST_F(ConvertTool, AnExistingFieldFileIsReplacedOnlyWithForce) {
  WriteBytes(Path("run.gsi"), kGsi);
  WriteBytes(Path("run.txt"), "keep me");
  const QString input = QString::fromStdString(Path("run.gsi"));
  EXPECT_EQ(Run({input}), kConvertInputError);
  EXPECT_EQ(errors, "quarrow-convert: " + Path("run.txt") +
                        " exists.\nUse --force to replace it; nothing was written.\n");
  EXPECT_EQ(ReadBytes(Path("run.txt")), "keep me");

  // A failed conversion with --force leaves the old file too.
  WriteBytes(Path("run.gsi"), kGsi.substr(0, kGsi.find("\r\n") + 2));
  EXPECT_EQ(Run({"--force", input}), kConvertInputError);
  EXPECT_NE(errors.find("fewer than two observations"), std::string::npos) << errors;
  EXPECT_EQ(ReadBytes(Path("run.txt")), "keep me");

  WriteBytes(Path("run.gsi"), kGsi);
  EXPECT_EQ(Run({"--force", input}), kConvertWritten) << errors;
  EXPECT_EQ(ReadBytes(Path("run.txt")), kGsiFieldFile);
  EXPECT_EQ(Files(), (QStringList{"run.gsi", "run.txt"}));
}

TEST(ConvertToolSink, AFailedWriteLeavesNoFieldFile) {
  FakePlatform platform;
  platform.files["run.gsi"] = kGsi;
  for (int fault = 0; fault < 3; ++fault) {
    SCOPED_TRACE(fault);
    platform.fail_create = fault == 0;
    platform.fail_after_bytes = fault == 1 ? 10 : static_cast<std::size_t>(-1);
    platform.fail_commit = fault == 2;
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(
        RunConvertTool({"quarrow-convert", "--output", "run.txt", "run.gsi"}, platform, out, err),
        kConvertInputError);
    EXPECT_NE(err.str().find("run.txt: the field file cannot be written"), std::string::npos)
        << err.str();
    EXPECT_EQ(platform.files.count("run.txt"), 0u);
    EXPECT_EQ(out.str(), "");
  }
}

// The examples convert to the field files beside them, and those meet third
// order with the elevations examples/README.md gives.
TEST(ConvertExamples, GiveTheFieldFilesAndReportsTheReadmePromises) {
  struct Row {
    const char* input;
    const char* field_file;
    double begin_elev;
    double end_elev;
    bool feet;
  };
  const Row rows[] = {{"run.jxl", "run-from-jxl.txt", 214.330, 213.853, false},
                      {"run.gsi", "run-from-gsi.txt", 612.480, 612.186, true},
                      {"run.rw5", "run-from-rw5.txt", 214.330, 213.853, false},
                      {"run.xml", "run-from-xml.txt", 214.330, 213.853, false},
                      {"run.sdr", "run-from-sdr.txt", 214.330, 213.853, false},
                      {"run.gt7", "run-from-gt7.txt", 214.330, 213.853, false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.input);
    FakePlatform platform;
    platform.files[row.input] = ReadBytes(kExamples + "/convert/" + row.input);
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(
        RunConvertTool({"quarrow-convert", "--output", "run.txt", row.input}, platform, out, err),
        kConvertWritten)
        << err.str();
    EXPECT_EQ(platform.files["run.txt"], ReadBytes(kExamples + "/convert/" + row.field_file));
    EXPECT_NE(out.str().find(row.feet ? "Choose English units" : "Choose metric units"),
              std::string::npos);
    RunState rs;
    EXPECT_EQ(CheckAndAdjust(platform, rs, row.begin_elev, row.end_elev, row.feet),
              AdjustOutcome::kMeetsSpecifications);
  }
}

}  // namespace
}  // namespace quarrow

namespace quarrow {
namespace {

// The report of a converted example, adjusted as examples/README.md says,
// without its header (which names the files).
std::string ReportBody(const std::string& example) {
  FakePlatform platform;
  platform.files["in"] = ReadBytes(kExamples + "/convert/" + example);
  std::ostringstream out;
  std::ostringstream err;
  if (RunConvertTool({"quarrow-convert", "--output", "run.txt", "in"}, platform, out, err) !=
      kConvertWritten) {
    return err.str();
  }
  RunState rs;
  CheckAndAdjust(platform, rs, 214.330, 213.853, false);
  const std::string report = platform.files["run.adj"];
  return report.substr(report.find("MARK NAME"));
}

// The four raw examples record the JobXML example's run: recognised by
// their content whatever their name, they give its report.
TEST(ConvertExamples, EveryFormatOfTheKestrelLaneRunGivesTheSameReport) {
  const std::string jobxml = ReportBody("run.jxl");
  ASSERT_NE(jobxml.find("MEETS third order"), std::string::npos) << jobxml;
  for (const char* example : {"run.rw5", "run.xml", "run.sdr", "run.gt7"}) {
    SCOPED_TRACE(example);
    EXPECT_EQ(ReportBody(example), jobxml);
  }
}

TEST_F(ConvertTool, FromNamesEveryFormatAndRecognitionIgnoresTheName) {
  struct Row {
    const char* example;
    const char* from;
    const char* kind;
  };
  const Row rows[] = {{"run.rw5", "rw5", "RW5"},
                      {"run.xml", "landxml", "LandXML"},
                      {"run.sdr", "sdr", "SDR33"},
                      {"run.gt7", "gts7", "GTS-7"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.example);
    // A name that says another format: the content decides.
    WriteBytes(Path("job.gsi"), ReadBytes(kExamples + "/convert/" + row.example));
    const QString input = QString::fromStdString(Path("job.gsi"));
    ASSERT_EQ(Run({"--force", input}), kConvertWritten) << errors;
    EXPECT_EQ(output.substr(0, output.find('\n')), "Wrote " + Path("job.txt") + " from the " +
                                                       row.kind + " file " + Path("job.gsi") + ".");
    ASSERT_EQ(Run({"--force", "--from", row.from, input}), kConvertWritten) << errors;
    // Read as GSI, it is refused as GSI.
    EXPECT_EQ(Run({"--force", "--from", "gsi", input}), kConvertInputError);
    EXPECT_NE(errors.find(": line 1: the word"), std::string::npos) << errors;
  }
}

}  // namespace
}  // namespace quarrow
