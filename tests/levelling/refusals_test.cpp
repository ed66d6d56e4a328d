// Every way a digital-level file can fail to be levelled lines, each with
// the message the user reads: the line to look at and what was expected.

#include <gtest/gtest.h>

#include "convert/field_book.h"
#include "levelling/levelled_file.h"
#include "tests/levelling/level_writers.h"

namespace quarrow {
namespace {

using Lines = std::vector<std::string>;

std::string Joined(const Lines& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}

Lines Replaced(Lines lines, std::size_t number, const std::string& line) {
  lines.at(number - 1) = line;
  return lines;
}

Lines Dropped(Lines lines, std::size_t number) {
  lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(number - 1));
  return lines;
}

Lines Added(Lines lines, const std::string& line) {
  lines.push_back(line);
  return lines;
}

struct Refusal {
  const char* name;
  std::string bytes;
  std::string message;
};

void ExpectRefusals(const std::vector<Refusal>& refusals, LevelFormat format) {
  for (const Refusal& refusal : refusals) {
    SCOPED_TRACE(refusal.name);
    try {
      (void)ReadLevelledFile(refusal.bytes, format);
      ADD_FAILURE() << "read without complaint:\n" << refusal.bytes;
    } catch (const ConvertError& error) {
      EXPECT_EQ(error.what(), refusal.message);
    }
  }
}

// Two setups from BM01 over TP1 to BM02: -0.8027 m over 119.65 m.
const Lines kGsi = {
    "410001+?......1 ",
    "110002+0000BM01 83..56+01000000 ",
    "110003+0000BM01 32...6+00312500 331.06+00014213 ",
    "110004+00000TP1 32...6+00309000 332.06+00008765 ",
    "110005+00000TP1 32...6+00284000 331.06+00006502 ",
    "110006+0000BM02 32...6+00291000 332.06+00019977 ",
};

TEST(ReadGsiLevelFile, ReadsAHandComputedLine) {
  const LevelledFile file = ReadLevelledFile(Joined(kGsi));
  ASSERT_EQ(file.lines.size(), 1u);
  EXPECT_EQ(file.lines[0].from, "BM01");
  EXPECT_EQ(file.lines[0].to, "BM02");
  EXPECT_NEAR(file.lines[0].difference, -0.8027, 1e-12);
  EXPECT_NEAR(file.lines[0].length, 119.65, 1e-12);
  EXPECT_EQ(file.lines[0].setups, 2);
  EXPECT_EQ(file.lines[0].place, "line 1");
  EXPECT_EQ(file.units, Units::kMetric);
  EXPECT_EQ(file.unit_name, "metres");
  EXPECT_EQ(file.decimals, 5);
}

TEST(ReadGsiLevelFile, RefusesWhatIsNoLevelledLine) {
  ExpectRefusals(
      {
          {"a backsight without its foresight", Joined(Dropped(kGsi, 6)),
           "line 5: the backsight on \"TP1\" has no foresight partner: the line ends before a "
           "foresight is read; expected a foresight reading in the same setup."},
          {"a foresight first", Joined({kGsi[0], kGsi[1], kGsi[3]}),
           "line 3: the foresight on \"TP1\" has no backsight partner in its setup; expected a "
           "backsight reading on the line's starting bench mark in the same setup."},
          {"a BFFB line read BF", Joined(Replaced(kGsi, 1, "410001+?......2 ")),
           "line 3: the setup holds 2 readings, but the line is levelled BFFB (line 1), 4 "
           "readings a setup; expected each staff read 2 times in every setup."},
          {"a setup that does not start on the change point",
           Joined(Replaced(kGsi, 5, "110005+00000TP2 32...6+00284000 331.06+00006502 ")),
           "line 5: the backsight reads \"TP2\", but the setup before ended on \"TP1\" (line 4); "
           "a setup backsights the change point the setup before it foresighted."},
          {"a first point that is not the line's bench mark",
           Joined(Replaced(kGsi, 3, "110003+0000BM09 32...6+00312500 331.06+00014213 ")),
           "line 3: the line starts on the bench mark \"BM01\" (line 2), but its first backsight "
           "reads \"BM09\"; a line's first backsight is its starting bench mark."},
          {"a reading without word 11",
           Joined(Replaced(kGsi, 3, "32...6+00312500 331.06+00014213 ")),
           "line 3: a backsight without a point; expected word 11 naming the point in the same "
           "block."},
          {"a blank point identifier",
           Joined(Replaced(kGsi, 3, "110003+         32...6+00312500 331.06+00014213 ")),
           "line 3: the point identifier \"110003+        \" is blank; every point of a levelled "
           "line needs a name."},
          {"a reading without its distance",
           Joined(Replaced(kGsi, 3, "110003+0000BM01 331.06+00014213 ")),
           "line 3: the backsight on \"BM01\" has no distance (word 32); a levelled line needs "
           "the distance to the staff with every backsight and foresight."},
          {"mixed units",
           Joined(Replaced(kGsi, 4, "110004+00000TP1 32...6+00309000 332.07+00008765 ")),
           "line 4: the staff reading \"332.07+00008765\" is in feet, but the file's earlier "
           "readings are in metres (line 3); a levelled file keeps to one unit."},
          {"a line without a closing bench mark",
           Joined({kGsi[0], kGsi[1], "410003+?......1 ", kGsi[2], kGsi[3]}),
           "line 1: the line started here has no backsight and foresight readings, so it reaches "
           "no closing bench mark; expected staff readings on its bench marks and change points "
           "before the next line starts or the file ends."},
          {"a total-station measurement",
           Joined({"110001+00000BM1 22.104+09000000 31..00+00052114 "}),
           "line 1: the word \"22.104+09000000\" is a total-station measurement (word 22); a "
           "digital level's GSI holds staff readings (words 330 to 336). quarrow-convert makes a "
           "field file of a total-station file with --from gsi."},
          {"an order not understood", Joined(Replaced(kGsi, 1, "410001+?......7 ")),
           "line 1: the code block \"410001+?......7\" starts a line in the order \"7\", which is "
           "not understood; expected 1 (BF), 2 (BFFB), 3 (aBF), 4 (aBFFB) or 10 (check and "
           "adjust)."},
          {"two staff readings in one block",
           Joined(Replaced(kGsi, 3,
                           "110003+0000BM01 32...6+00312500 331.06+00014213 332.06+00008765 ")),
           "line 3: the block holds two staff readings (\"331.06+00014213\" and "
           "\"332.06+00008765\"); expected one staff reading a block."},
          {"a setup on one point",
           Joined(Replaced(kGsi, 4, "110004+0000BM01 32...6+00309000 332.06+00008765 ")),
           "line 3: the setup reads \"BM01\" as both its backsight and its foresight; a setup "
           "levels from one point to another."},
          {"a reading in an angle unit",
           Joined(Replaced(kGsi, 3, "110003+0000BM01 32...6+00312500 331.02+00014213 ")),
           "line 3: the word \"331.02+00014213\" has the unit digit '2', which is not a length "
           "unit (0, 6, 8 metres; 1, 7 feet)."},
          {"a reading that is not digits",
           Joined(Replaced(kGsi, 3, "110003+0000BM01 32...6+00312500 331.06+0001421x ")),
           "line 3: the word \"331.06+0001421x\" holds other than digits in its data; a "
           "measurement is digits."},
          {"a negative distance",
           Joined(Replaced(kGsi, 3, "110003+0000BM01 32...6-00312500 331.06+00014213 ")),
           "line 3: the distance \"32...6-00312500\" is negative; a distance to the staff is not."},
          {"no distance anywhere",
           Joined({kGsi[0], kGsi[1], "110003+0000BM01 32...6+00000000 331.06+00014213 ",
                   "110004+00000TP1 32...6+00000000 332.06+00008765 "}),
           "line 1: the line's distances are all zero, so it has no length to weigh it by; "
           "expected the distance to the staff with every reading."},
          {"a foresight read twice in a line of no declared order",
           Joined({kGsi[1], kGsi[2], kGsi[3], "110005+00000TP1 32...6+00309000 332.06+00008770 ",
                   kGsi[4], kGsi[5]}),
           "line 2: the setup holds 1 backsight reading and 2 foresight readings; each backsight "
           "reading needs a foresight partner in the setup."},
          {"a reading of a million metres",
           Joined(Replaced(kGsi, 3,
                           "*110003+000000000000BM01 32...6+0000000000312500 "
                           "331.06+0000099999999999 ")),
           "line 3: \"331.06+0000099999999999\" is a million or more; no staff reading or "
           "distance to the staff is that large."},
          {"intermediate sights only", Joined({"110001+0000IS01 32...6+00123000 333.06+00021050 "}),
           "line 1: the file's staff readings (the first on this line) are all intermediate "
           "sights, measure-only, set-out or check-and-adjust readings; a levelled line needs "
           "backsights (words 331, 335) and foresights (332, 336)."},
          {"no staff readings", Joined({"410001+00000007 42....+0000CULV "}),
           "line 1: the file holds no staff readings; a digital level's GSI holds backsights "
           "(words 331, 335) and foresights (332, 336) with their distances (32)."},
      },
      LevelFormat::kGsi);
}

using testing_support::M5Record;
using testing_support::M5Value;

const M5Value kNone;

std::string Kd1(int address, const std::string& point, const M5Value& a, const M5Value& b,
                const M5Value& c) {
  return M5Record(address, "KD1",
                  std::string(9 - point.size(), ' ') + point + "       08:01:121   1", a, b, c);
}

std::string Text(int address, const std::string& text) {
  return M5Record(address, "TO", " " + text, kNone, kNone, kNone);
}

// A record without its line end, as the Lines above hold them.
std::string Bare(std::string record) { return record.substr(0, record.size() - 2); }

// The same two setups as kGsi, as the DiNi writes them.
const Lines kDini = {
    Bare(Text(1, "Start-Line         BF     1")),
    Bare(Kd1(2, "BM01", kNone, kNone, {"Z", "100.00000", "m"})),
    Bare(Kd1(3, "BM01", {"Rb", "1.42130", "m"}, {"HD", "31.250", "m"}, kNone)),
    Bare(Kd1(4, "TP1", {"Rf", "0.87650", "m"}, {"HD", "30.900", "m"}, kNone)),
    Bare(Kd1(5, "TP1", {"Rb", "0.65020", "m"}, {"HD", "28.400", "m"}, kNone)),
    Bare(Kd1(6, "BM02", {"Rf", "1.99770", "m"}, {"HD", "29.100", "m"}, kNone)),
    Bare(Text(7, "End-Line                   1")),
};

TEST(ReadDiniFile, ReadsAHandComputedLine) {
  const LevelledFile file = ReadLevelledFile(Joined(kDini));
  ASSERT_EQ(file.lines.size(), 1u);
  EXPECT_EQ(file.lines[0].from, "BM01");
  EXPECT_EQ(file.lines[0].to, "BM02");
  EXPECT_NEAR(file.lines[0].difference, -0.8027, 1e-12);
  EXPECT_NEAR(file.lines[0].length, 119.65, 1e-12);
  EXPECT_EQ(file.lines[0].place, "line 1");
  EXPECT_EQ(file.decimals, 6);
}

TEST(ReadDiniFile, RefusesWhatIsNoLevelledLine) {
  ExpectRefusals(
      {
          {"a line that is no M5 record", Joined(Replaced(kDini, 3, "BM01 1.42130 31.250")),
           "line 3: \"BM01 1.42130 31.250...\" is not an M5 record; expected every line to "
           "start \"For M5|Adr\"."},
          {"a record cut short",
           Joined(Replaced(kDini, 3, kDini[2].substr(0, kDini[2].find("|HD")) + "|")),
           "line 3: the M5 record has 4 fields after \"For M5\"; expected the address, the "
           "information block and three value blocks, each closed by \"|\"."},
          {"a reading outside a line", Joined(Dropped(kDini, 1)),
           "line 2: a backsight reading outside a line; expected a Start-Line record before the "
           "line's readings."},
          {"a line never ended", Joined(Dropped(kDini, 7)),
           "line 1: the line started here has no End-Line record, so its last foresight "
           "(\"BM02\", line 6) is no closing bench mark; expected an End-Line record after the "
           "foresight on the bench mark that closes the line."},
          {"a line started before the last one ended",
           Joined(Replaced(kDini, 7, Bare(Text(7, "Start-Line         BF     2")))),
           "line 1: the line started here has no End-Line record, so its last foresight "
           "(\"BM02\", line 6) is no closing bench mark; expected an End-Line record after the "
           "foresight on the bench mark that closes the line."},
          {"an End-Line without a line", Joined(Added(kDini, Bare(Text(8, "End-Line")))),
           "line 8: End-Line, but no line is open; expected a Start-Line record before the "
           "line's readings."},
          {"a line continued from another file",
           Joined(Replaced(kDini, 1, Bare(Text(1, "Cont-Line                  1")))),
           "line 1: Cont-Line continues a line whose Start-Line is not in this file, so its "
           "first point is a change point, not a bench mark; convert the line whole, from the "
           "file that starts it."},
          {"a reading without its distance",
           Joined(Replaced(kDini, 4, Bare(Kd1(4, "TP1", {"Rf", "0.87650", "m"}, kNone, kNone)))),
           "line 4: the foresight on \"TP1\" has no distance (HD) in its record; a levelled line "
           "needs the distance to the staff with every backsight and foresight."},
          {"a unit not understood",
           Joined(Replaced(
               kDini, 3,
               Bare(Kd1(3, "BM01", {"Rb", "1.42130", "in"}, {"HD", "31.250", "m"}, kNone)))),
           "line 3: the value block \"Rb        1.42130 in\" is in \"in\", which is not "
           "understood; expected m, ft or usft after the value."},
          {"a decimal comma",
           Joined(Replaced(
               kDini, 3,
               Bare(Kd1(3, "BM01", {"Rb", "1,42130", "m"}, {"HD", "31.250", "m"}, kNone)))),
           "line 3: the value block \"Rb        1,42130 m\" holds no number; expected its type, "
           "a number with \".\" and its unit."},
          {"mixed units",
           Joined(Replaced(
               kDini, 4,
               Bare(Kd1(4, "TP1", {"Rf", "0.87650", "ft"}, {"HD", "30.900", "m"}, kNone)))),
           "line 4: the reading \"Rf        0.87650 ft\" is in feet, but the file's earlier "
           "readings are in metres (line 3); a levelled file keeps to one unit."},
          {"feet and US survey feet",
           Joined({kDini[0],
                   Bare(Kd1(2, "BM01", {"Rb", "4.6630", "ft"}, {"HD", "102.53", "ft"}, kNone)),
                   Bare(Kd1(3, "TP1", {"Rf", "2.8757", "ft"}, {"HD", "101.38", "usft"}, kNone)),
                   kDini[6]}),
           "line 3: the distance \"HD         101.38 usft\" is in US survey feet, but the file's "
           "earlier readings are in feet (line 2); a levelled file keeps to one unit."},
          {"a reading of ten million metres",
           Joined(Replaced(kDini, 3,
                           Bare(Kd1(3, "BM01", {"Rb", "1e7", "m"}, {"HD", "31.250", "m"}, kNone)))),
           "line 3: \"Rb            1e7 m\" is a million or more; no staff reading or distance "
           "to the staff is that large."},
          {"a reading without a point",
           Joined(Replaced(kDini, 3,
                           Bare(Kd1(3, "", {"Rb", "1.42130", "m"}, {"HD", "31.250", "m"}, kNone)))),
           "line 3: a backsight without a point; expected the point number in columns 21 to 29 "
           "of the record."},
          {"a backsight without its foresight", Joined(Dropped(kDini, 6)),
           "line 5: the backsight on \"TP1\" has no foresight partner: the line ends before a "
           "foresight is read; expected a foresight reading in the same setup."},
          {"a first point that is not the line's bench mark",
           Joined(Replaced(kDini, 2, Bare(Kd1(2, "BM00", kNone, kNone, {"Z", "100.00000", "m"})))),
           "line 3: the line starts on the bench mark \"BM00\" (line 2), but its first backsight "
           "reads \"BM01\"; a line's first backsight is its starting bench mark."},
          {"intermediate sights only",
           Joined({kDini[0],
                   Bare(Kd1(2, "IS1", {"Rz", "2.10500", "m"}, {"HD", "12.300", "m"}, kNone)),
                   kDini[6]}),
           "line 1: the line started here has no backsight and foresight readings, so it "
           "reaches no closing bench mark; expected staff readings on its bench marks and "
           "change points before the next line starts or the file ends."},
          {"no line", Joined({Bare(Text(1, "LEVEL.DAT"))}),
           "line 1: the file holds no levelled line; expected a Start-Line, backsights (Rb) and "
           "foresights (Rf) with their distances (HD), and an End-Line."},
      },
      LevelFormat::kDini);
}

TEST(ReadLevelledFile, RecognisesTheFormatByContent) {
  const std::string dini = Joined(kDini);
  const std::string gsi = Joined(kGsi);
  const struct {
    const char* name;
    std::string bytes;
    bool digital_level;
  } cases[] = {
      {"DiNi", dini, true},
      {"DiNi after a byte-order mark", "\xEF\xBB\xBF" + dini, true},
      {"GSI-8 staff readings", gsi, true},
      {"GSI-16 staff readings",
       testing_support::WriteGsiLevel({{"BF", {{"A", "B", 1.5, 1.25, 20, 21}}}}, {.gsi16 = true}),
       true},
      {"a total-station GSI", Joined({"110001+00000BM1 22.104+08958300 31..00+00052114 "}), false},
      {"staff readings beside a zenith",
       Joined({kGsi[2], "110009+00000BM1 22.104+08958300 31..00+00052114 "}), false},
      {"JobXML", "<?xml version=\"1.0\"?>\n<JOBFile/>\n", false},
      {"text", "from,to,difference,length\n", false},
      {"nothing", "", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IsDigitalLevelFile(c.bytes), c.digital_level);
  }
  EXPECT_EQ(ReadLevelledFile(dini).kind, "DiNi");
  EXPECT_EQ(ReadLevelledFile(gsi).kind, "GSI");
  ExpectRefusals({{"text", "from,to,difference,length\n",
                   "line 1: this is neither a digital level's GSI file (lines of GSI words with "
                   "staff readings, words 330 to 336) nor a DiNi file (M5 records starting "
                   "\"For M5|\")."},
                  {"nothing", "",
                   "the file is empty: this is neither a digital level's GSI "
                   "file (lines of GSI words with staff readings, words 330 to 336) nor a DiNi "
                   "file (M5 records starting \"For M5|\")."}},
                 LevelFormat::kRecognise);
  ExpectRefusals({{"a GSI file read as DiNi", gsi,
                   "line 1: \"410001+?......1...\" is not an M5 record; expected every line to "
                   "start \"For M5|Adr\"."}},
                 LevelFormat::kDini);
}

}  // namespace
}  // namespace quarrow
