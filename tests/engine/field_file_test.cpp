#include "engine/field_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <random>

#include "engine/field_file_stream.h"
#include "engine/numeric_prefix.h"
#include "tests/support/fake_platform.h"

namespace quarrow {
namespace {

TEST(NumericPrefix, ReadsTheLeadingNumber) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Row {
    std::string text;
    double expected;
  } rows[] = {
      // clang-format off
      {"52.114", 52.114}, {"  1.500  ", 1.5}, {"000123.4500", 123.45},
      {"1 2 3", 123},  // blanks are skipped wherever they stand
      {"\t-\n4.5", -4.5}, {"+.5", 0.5},
      {"12.5.6", 12.5},  // one decimal point only
      {"1.5e2x", 150}, {"1.5E-2", 0.015}, {"2e", 2}, {"2e+", 2}, {"7m", 7},
      {"", 0}, {"abc", 0}, {"-", 0}, {".", 0}, {"-0", 0}, {"inf", 0}, {"nan", 0},
      {"0x1A", 0},  // no hexadecimal: "0", then "x" stops
      {"1,5", 1},   // the decimal point is always "."
      {"1e400", inf}, {"-1e400", -inf}, {"1e99999999999999999999", inf},
      {"1e-400", 0}, {"0.0000001e-320", 0},
      // clang-format on
  };
  for (const Row& row : rows) {
    SCOPED_TRACE("\"" + row.text + "\"");
    EXPECT_EQ(NumericPrefix(row.text), row.expected);
  }
  EXPECT_FALSE(std::signbit(NumericPrefix("-0.0")));
}

// Plain numbers take a short cut; it must give the very double that the
// correctly rounded reading gives, on both sides of where it hands over.
TEST(NumericPrefix, PlainNumbersReadAsCorrectlyRounded) {
  const auto reference = [](const std::string& text) {
    double value = 0;
    const char* begin = text.data() + (text[0] == '+' ? 1 : 0);
    std::from_chars(begin, text.data() + text.size(), value);
    return value == 0 ? 0.0 : value;
  };
  // clang-format off
  std::vector<std::string> texts = {
      "123456789012345", "1234567890123456", "9007199254740993", "0.1234567890123456789",
      "0.0000000000000000000001", "0.00000000000000000000001", "99999999999999.9", "0.3",
      "-2.675", "1.0005", "000000000000000000000.5", "4503599627370497.5", "9007199254740992",
      "-9007199254740992.0", "90071992547409921", "18446744073709551617"};
  // clang-format on
  std::mt19937_64 random(20261207);
  for (int i = 0; i < 20000; ++i) {
    const std::uint64_t bits = random();
    std::string text = bits % 3 == 0 ? "-" : bits % 3 == 1 ? "+" : "";
    const int whole = static_cast<int>(bits >> 8 & 15);
    const int decimals = static_cast<int>(bits >> 12 & 31) % 25;
    for (int d = 0; d < whole; ++d) text += static_cast<char>('0' + random() % 10);
    text += '.';
    for (int d = 0; d < decimals; ++d) text += static_cast<char>('0' + random() % 10);
    if (whole + decimals > 0) texts.push_back(text);
  }
  for (const std::string& text : texts) {
    SCOPED_TRACE("\"" + text + "\"");
    const double value = NumericPrefix(text);
    EXPECT_EQ(value, reference(text));
    EXPECT_FALSE(value == 0 && std::signbit(value));
  }
}

TEST(NextField, TakesFieldsFromTheFront) {
  RunState rs;
  rs.LineBuffer = "1,,BM 1 ,x";
  EXPECT_EQ(NextField(rs), "1");
  EXPECT_EQ(NextField(rs), "");
  EXPECT_EQ(NextField(rs), "BM 1 ");  // fields are not trimmed
  EXPECT_EQ(NextField(rs), "x");
  EXPECT_EQ(NextField(rs), "");
  EXPECT_EQ(NextField(rs), "");

  rs.LineBuffer = "\"quoted,name\"";  // no quoting: a comma always separates
  EXPECT_EQ(NextField(rs), "\"quoted");
  EXPECT_EQ(NextField(rs), "name\"");
}

TEST(ParseZenithAngle, DegreesMinutesSeconds) {
  constexpr double kDegree = 0.017453292519943278;
  struct Row {
    std::string text;
    double expected_degrees_up;
  } rows[] = {
      {"90~", 0},
      {"89~30'", 0.5},
      {"89~59'30.5", 29.5 / 3600},  // decimal seconds taken whole
      {"91~00'00", -1},
      {"89~30", 1 - 30.0 / 3600},  // no apostrophe: the rest is seconds
      {"89~58'30\"", 1.5 / 60},    // anything after the seconds is ignored
      {"", 90},                    // zenith 0: straight up
      {"45'", 90 - 0.75},          // no mark: no degrees
  };
  RunState rs;
  rs.DegreeMark = '\xb0';
  for (Row row : rows) {
    for (char& c : row.text) c = c == '~' ? '\xb0' : c;
    SCOPED_TRACE(row.text);
    EXPECT_NEAR(ParseZenithAngle(rs, row.text), row.expected_degrees_up * kDegree, 1e-15);
  }
  EXPECT_EQ(ParseZenithAngle(rs, "90\xb0"), 0.0);
  // The factor is pi to 15 digits over 180, not the full-precision one.
  EXPECT_EQ(ParseZenithAngle(rs, "89\xb0"), 0.017453292519943278);
}

struct OpenCase {
  const char* what;
  std::string bytes;
  std::uint8_t state;
  std::string first_line;
};

TEST(OpenFieldFile, RecognisesObservationLines) {
  const OpenCase cases[] = {
      {"two observations", FieldFile({"1,A,90~,1,0", "1,B,90~,1,0"}), kFileUsable,
       "1,A,90\xb0,1,0"},
      {"header and blank lines skipped", FieldFile({"Job 7", "", "1,A,90~,1,0", "", "1,B,90~,1,0"}),
       kFileUsable, "1,A,90\xb0,1,0"},
      {"empty file", "", kFileUnrecognised, ""},
      {"no degree sign", FieldFile({"a,b,c", "d,e,f"}), kFileUnrecognised, ""},
      {"mark only on the last line", FieldFile({"Job 7", "1,A,90~,1,0"}), kFileUnrecognised, ""},
      {"one observation then a footer", FieldFile({"1,A,90~,1,0", "end"}), kFileUnrecognised, ""},
      {"other code page", FieldFile({"1,A,90~,1,0", "1,B,90~,1,0"}, '\xf8'), kFileUnrecognised, ""},
  };
  for (const OpenCase& c : cases) {
    SCOPED_TRACE(c.what);
    FakePlatform platform;
    platform.files["f.txt"] = c.bytes;
    RunState rs;
    rs.InputPath = "f.txt";
    rs.DegreeMark = '\xb0';
    OpenFieldFile(rs, platform);
    EXPECT_EQ(rs.FileState, c.state);
    if (c.state == kFileUsable) {
      EXPECT_EQ(rs.LineBuffer, c.first_line);
    }
    rs.InFile.Close();
  }
}

TEST(SkipToObservation, WalksObservationsAndStopsAtTheLast) {
  FakePlatform platform;
  platform.files["f.txt"] =
      FieldFile({"head", "1,A,90~,1,0", "", "1,B,90~,1,0", "note", "2,C,90~,1,0", "footer", ""});
  RunState rs;
  rs.InputPath = "f.txt";
  rs.DegreeMark = '\xb0';
  OpenFieldFile(rs, platform);
  ASSERT_EQ(rs.FileState, kFileUsable);
  EXPECT_FALSE(AtEndOfObservations(rs));
  EXPECT_TRUE(SkipToObservation(rs));
  EXPECT_EQ(rs.LineBuffer, "1,B,90\xb0,1,0");
  EXPECT_TRUE(SkipToObservation(rs));
  EXPECT_EQ(rs.LineBuffer, "2,C,90\xb0,1,0");
  EXPECT_TRUE(AtEndOfObservations(rs));
  EXPECT_FALSE(SkipToObservation(rs));
  EXPECT_EQ(rs.LineBuffer, "");
}

TEST(FieldFileStream, LongLinesAndChunkBoundaries) {
  // A line far longer than a read chunk, and CR LF pairs split across reads.
  const std::string long_name(100000, 'N');
  FakePlatform platform;
  platform.files["f.txt"] = FieldFile({"1," + long_name + ",90~,1,0", "1,B,90~,1,0"});
  RunState rs;
  rs.InputPath = "f.txt";
  rs.DegreeMark = '\xb0';
  OpenFieldFile(rs, platform);
  ASSERT_EQ(rs.FileState, kFileUsable);
  NextField(rs);
  EXPECT_EQ(NextField(rs), long_name);
}

// The reader looks for line ends several bytes at a time when a read brings
// whole lines; every offset of a CR, LF or CR LF within those bytes, and
// bytes that differ from CR or LF only in their top bit, must split alike.
TEST(FieldFileStream, LineEndsAtEveryOffsetOfALargeRead) {
  const std::string ends[] = {"\r\n", "\r", "\n"};
  std::vector<std::string> lines;
  std::string bytes;
  for (int length = 0; length < 20; ++length) {
    for (const std::string& end : ends) {
      std::string line = std::to_string(lines.size()) + ",";
      for (int i = 0; i < length; ++i) line += "\x8d\x8aN"[i % 3];
      line += '\xb0';
      lines.push_back(line);
      bytes += line + end;
    }
  }
  FakePlatform platform;
  platform.files["f.txt"] = bytes;
  platform.read_chunk = bytes.size();
  FieldFileStream stream;
  stream.Open(platform.OpenForReading("f.txt"));
  stream.FetchObservation('\xb0');
  std::string line;
  for (const std::string& expected : lines) {
    ASSERT_TRUE(stream.TakeObservation(line, '\xb0'));
    EXPECT_EQ(line, expected);
  }
  EXPECT_FALSE(stream.TakeObservation(line, '\xb0'));
  EXPECT_EQ(stream.BytesRead(), bytes.size());
}

}  // namespace
}  // namespace quarrow
