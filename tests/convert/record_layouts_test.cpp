// The bundled examples as real instruments and data collectors lay them
// out: every layout of the same run must give the same field file, byte for
// byte, and the summary must count what was passed over.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "convert/converter.h"
#include "convert/gsi_reader.h"
#include "tests/convert/survey_writers.h"

namespace quarrow {
namespace {

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

const std::string kExamples = std::string(QUARROW_EXAMPLES) + "/convert/";

// The lines of a GSI-8 file as rows of 15-character words.
using GsiRows = std::vector<std::vector<std::string>>;

GsiRows WordsOf(const std::string& gsi) {
  GsiRows rows;
  std::istringstream lines(gsi);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    rows.emplace_back();
    for (std::size_t pos = 0; pos + 15 <= line.size(); pos += 16) {
      rows.back().push_back(line.substr(pos, 15));
    }
  }
  return rows;
}

struct GsiLayout {
  std::function<std::string(std::size_t line)> line_end = [](std::size_t) { return "\r\n"; };
  std::function<std::string(std::size_t word)> separator = [](std::size_t) { return " "; };
  std::string before_line = "";  // leading blanks of every line
  std::string after_line = " ";  // after the last word
};

std::string Render(const GsiRows& rows, const GsiLayout& layout) {
  std::string gsi;
  for (std::size_t l = 0; l < rows.size(); ++l) {
    gsi += layout.before_line;
    for (std::size_t w = 0; w < rows[l].size(); ++w) {
      if (w > 0) gsi += layout.separator(w);
      gsi += rows[l][w];
    }
    gsi += layout.after_line + layout.line_end(l);
  }
  return gsi;
}

// The example's setups start at its lines 1, 5 and 7; `mark` goes before
// each.
GsiRows WithMarks(GsiRows rows, const std::vector<std::string>& mark) {
  for (std::size_t line : {6, 4, 0}) rows.insert(rows.begin() + line, mark);
  return rows;
}

GsiRows WithWord(GsiRows rows, const std::string& word) {
  for (auto& row : rows) row.push_back(word);
  return rows;
}

GsiRows WithLine(GsiRows rows, std::size_t before, const std::vector<std::string>& line) {
  rows.insert(rows.begin() + before, line);
  return rows;
}

ConvertOptions NamedAs(const char* name) {
  ConvertOptions options;
  options.source_name = name;
  return options;
}

TEST(RecordLayouts, EveryGsiLayoutOfTheExampleGivesItsFieldFile) {
  const std::string bundled = ReadBytes(kExamples + "run.gsi");
  const std::string expected = ReadBytes(kExamples + "run-from-gsi.txt");
  ASSERT_FALSE(bundled.empty());
  const GsiRows rows = WordsOf(bundled);
  ASSERT_EQ(rows.size(), 8u);
  ASSERT_EQ(Render(rows, {}), bundled);  // the helpers read the example whole

  GsiLayout lf;
  lf.line_end = [](std::size_t) { return "\n"; };
  GsiLayout cr;
  cr.line_end = [](std::size_t) { return "\r"; };
  GsiLayout mixed;
  mixed.line_end = [](std::size_t l) { return l % 3 == 0 ? "\r\n" : l % 3 == 1 ? "\n" : "\r"; };
  GsiLayout double_blanks;
  double_blanks.separator = [](std::size_t) { return "  "; };
  GsiLayout tabs;
  tabs.separator = [](std::size_t w) { return w % 2 == 0 ? "\t" : " \t "; };
  tabs.before_line = "\t";
  tabs.after_line = "   \t";
  GsiLayout no_trailing_blank;
  no_trailing_blank.after_line = "";

  const std::vector<std::string> feature_code = {"410009+00000013", "42....+0000TREE"};
  struct Row {
    const char* what;
    std::string gsi;
    int angle_only;
    bool marked = false;  // station or code blocks start the setups
  };
  const Row rows_to_try[] = {
      {"as bundled, CR LF", bundled, 0},
      {"LF line ends", Render(rows, lf), 0},
      {"CR alone", Render(rows, cr), 0},
      {"CR LF, LF and CR mixed", Render(rows, mixed), 0},
      {"two blanks between words", Render(rows, double_blanks), 0},
      {"tabs between words, a leading tab, trailing blanks", Render(rows, tabs), 0},
      {"no blank after the last word", Render(rows, no_trailing_blank), 0},
      {"a comment, a transfer byte, an end-of-file mark",
       "! Kestrel Lane, job 14\r\n" + bundled + "\x03" + "8 blocks\r\n\x1a", 0},
      {"word 88 in every block", Render(WithWord(rows, "88..11+00005250"), {}), 0},
      {"words 84 to 86 in every block",
       Render(WithWord(WithWord(WithWord(rows, "84..11+01000000"), "85..11+02000000"),
                       "86..11+00061200"),
              {}),
       0},
      {"station blocks: word 88 without a measurement",
       Render(WithMarks(rows, {"110000+0000STN1", "88..11+00005250"}), {}), 0, true},
      {"station blocks: words 84 to 86",
       Render(WithMarks(rows, {"110000+0000STN1", "84..11+01000000", "85..11+02000000",
                               "86..11+00061200"}),
              {}),
       0, true},
      {"code blocks: code 2 with the station and the instrument height",
       Render(WithMarks(rows, {"410000+00000002", "42....+0000STN1", "43....+00005250"}), cr), 0,
       true},
      {"code blocks: code 1 with the instrument height",
       Render(WithMarks(rows, {"410000+00000001", "43....+00005250"}), tabs), 0, true},
      {"a feature code block does not start a setup", Render(WithLine(rows, 5, feature_code), {}),
       0},
      {"angle-only shots: no distance, a distance of zero, a horizontal angle alone",
       Render(WithLine(WithLine(WithLine(rows, 1,
                                         {"110009+0000TREE", "21.324+04500000", "22.324+08830000"}),
                                1, {"110010+0000BM 7", "22.324+08957400", "31..01+00000000"}),
                       6, {"110011+0000POLE", "21.324+31500000"}),
              mixed),
       3},
  };
  for (const Row& row : rows_to_try) {
    SCOPED_TRACE(row.what);
    Conversion conversion;
    try {
      conversion = Convert(row.gsi, NamedAs("run.gsi"));
    } catch (const ConvertError& error) {
      ADD_FAILURE() << error.what();
      continue;
    }
    EXPECT_EQ(conversion.text.bytes, expected);
    EXPECT_EQ(conversion.angle_only, row.angle_only);
    EXPECT_EQ(SummaryText(conversion).find("Angle-only") != std::string::npos, row.angle_only > 0);
    EXPECT_EQ(ReadGsi(row.gsi).setups_from_turning_points, !row.marked);
  }
}

// Text after the example's first StationRecord, and before its FieldBook
// ends.
std::string AfterFirstStation(std::string xml, const std::string& text) {
  const std::size_t station = xml.find("</StationRecord>");
  xml.insert(xml.find('\n', station) + 1, text);
  return xml;
}

std::string AtTheEnd(std::string xml, const std::string& text) {
  xml.insert(xml.find("  </FieldBook>"), text);
  return xml;
}

TEST(RecordLayouts, EveryJobXmlLayoutOfTheExampleGivesItsFieldFile) {
  const std::string bundled = ReadBytes(kExamples + "run.jxl");
  const std::string expected = ReadBytes(kExamples + "run-from-jxl.txt");
  ASSERT_FALSE(bundled.empty());
  const testing_support::FieldRun run = testing_support::ReadFieldRun(expected);
  const std::string angle_only =
      "    <PointRecord ID=\"000000a1\"><Name>HYDRANT 4</Name><Method>DirectReading</Method>"
      "<StationID>00000003</StationID><TargetID>00000002</TargetID><Circle><HorizontalCircle>"
      "12</HorizontalCircle><VerticalCircle>91.2</VerticalCircle></Circle></PointRecord>\n"
      "    <PointRecord ID=\"000000a2\"><Name>FENCE</Name><Method>AngleOnly</Method>"
      "<StationID>00000003</StationID><TargetID>00000002</TargetID><Circle><HorizontalCircle>"
      "80</HorizontalCircle><VerticalCircle>90.5</VerticalCircle><EDMDistance>3</EDMDistance>"
      "</Circle></PointRecord>\n";
  // Deliberate: the same ID as the target every reading uses, after them
  // all; an earlier one of that ID, before them, must not count either.
  const std::string later_target =
      "    <TargetRecord ID=\"00000002\"><PrismConstant>0</PrismConstant><TargetHeight>2.5"
      "</TargetHeight></TargetRecord>\n";
  std::string earlier_target = bundled;
  earlier_target.insert(earlier_target.find("    <TargetRecord"),
                        "    <TargetRecord ID=\"00000002\"><TargetHeight>9</TargetHeight>"
                        "</TargetRecord>\n");
  struct Row {
    const char* what;
    std::string xml;
    int angle_only;
    int means;
  };
  const Row rows[] = {
      {"as bundled", bundled, 0, 0},
      {"a target ID used again after the readings", AtTheEnd(bundled, later_target), 0, 0},
      {"a target ID used before, and again after", AtTheEnd(earlier_target, later_target), 0, 0},
      {"angle-only records", AfterFirstStation(bundled, angle_only), 2, 0},
      {"averaged records only",
       testing_support::WriteJobXml(run, {.means_only = true, .repeated_target_ids = true}), 0, 7},
      {"averaged records beside the direct readings they average",
       testing_support::WriteJobXml(run, {.both_faces = true, .noise_records = true}), 0, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Conversion conversion;
    try {
      conversion = Convert(row.xml, NamedAs("run.jxl"));
    } catch (const ConvertError& error) {
      ADD_FAILURE() << error.what();
      continue;
    }
    EXPECT_EQ(conversion.text.bytes, expected);
    EXPECT_EQ(conversion.angle_only, row.angle_only);
    EXPECT_EQ(conversion.means, row.means);
  }
}

TEST(RecordLayouts, TheSummaryCountsWhatWasPassedOverAndWhatStoodIn) {
  const testing_support::FieldRun run =
      testing_support::ReadFieldRun(ReadBytes(kExamples + "run-from-jxl.txt"));
  const Conversion conversion = Convert(
      testing_support::WriteJobXml(run, {.means_only = true, .angle_only_shots = true}), {});
  const std::string summary = SummaryText(conversion);
  EXPECT_NE(summary.find("Side shots: 1\n"
                         "Angle-only measurements passed over: 3 (no distance)\n"
                         "Means of rounds used: 7 (no direct reading of those points kept)\n"
                         "Face pairs averaged: 0\n"),
            std::string::npos)
      << summary;
}

}  // namespace
}  // namespace quarrow
