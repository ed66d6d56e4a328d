// The field file's own texts: zenith angles, lengths, names in the code
// page, and the whole file as the adjustment reads it.

#include "convert/field_file_writer.h"

#include <gtest/gtest.h>

#include "engine/numeric_prefix.h"

namespace quarrow {
namespace {

TEST(FormatZenith, DegreesMinutesAndSecondsToTheHundredth) {
  struct Row {
    double seconds;
    char mark;
    const char* text;
  };
  const Row rows[] = {
      {89 * 3600 + 58 * 60 + 30, '\xb0',
       "89\xb0"
       "58'30.00"},
      {90 * 3600 + 1 * 60 + 5.5, '\xb0',
       "90\xb0"
       "01'05.50"},
      {90 * 3600 + 1 * 60 + 5.5, '\xf8',
       "90\xf8"
       "01'05.50"},
      {90 * 3600 + 59.996, '\xb0',
       "90\xb0"
       "01'00.00"},  // never 60.00 seconds
      {90 * 3600 + 3599.994, '\xb0',
       "90\xb0"
       "59'59.99"},
      {89 * 3600 + 3599.996, '\xb0',
       "90\xb0"
       "00'00.00"},
      {100 * 3600 + 0.004, '\xb0',
       "100\xb0"
       "00'00.00"},
      {30 * 3600, '\xb0',
       "30\xb0"
       "00'00.00"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(FormatZenith(row.seconds, row.mark), row.text);
  }
}

TEST(FormatFixed, FourDecimalsWithAPointAndNoNegativeZero) {
  struct Row {
    double value;
    const char* text;
  };
  const Row rows[] = {{52.114, "52.1140"},         {0.00004, "0.0000"},
                      {-0.00004, "0.0000"},        {1.23456, "1.2346"},
                      {1234567.8, "1234567.8000"}, {207.17000000000002, "207.1700"},
                      {-0.0304, "-0.0304"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(FormatFixed(row.value, 4), row.text);
    EXPECT_EQ(NumericPrefix(row.text), std::stod(row.text));
  }
}

TEST(EncodeName, CodePagesCommasAndMissingCharacters) {
  struct Row {
    std::u32string name;
    CodePage page;
    const char* bytes;
    int unmappable;
    int commas;
  };
  const Row rows[] = {
      {U"TP1", CodePage::kWindows1252, "TP1", 0, 0},
      {U"  BM 7 ", CodePage::kWindows1252, "  BM 7 ", 0, 0},  // no trimming
      {U"Br\u00fccke", CodePage::kWindows1252,
       "Br\xfc"
       "cke",
       0, 0},
      {U"Br\u00fccke", CodePage::kDos437,
       "Br\x81"
       "cke",
       0, 0},
      {U"\u20ac 5", CodePage::kWindows1252, "\x80 5", 0, 0},
      {U"\u20ac 5", CodePage::kDos437, "? 5", 1, 0},
      {U"\u03a9-1", CodePage::kWindows1252, "?-1", 1, 0},
      {U"\u03a9-1", CodePage::kDos437, "\xea-1", 0, 0},
      {U"MH\u00b0", CodePage::kDos437, "MH\xf8", 0, 0},
      {U"A,B,C", CodePage::kDos437, "A;B;C", 0, 2},
      {U"\u6c34\u6e96\u70b9,1", CodePage::kWindows1252, "???;1", 3, 1},
      {U"tab\there", CodePage::kWindows1252, "tab?here", 1, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.bytes);
    int unmappable = 0;
    int commas = 0;
    EXPECT_EQ(EncodeName(row.name, row.page, unmappable, commas), row.bytes);
    EXPECT_EQ(unmappable, row.unmappable);
    EXPECT_EQ(commas, row.commas);
  }
}

ReducedRun TwoSetups() {
  ReducedRun run;
  auto obs = [](std::u32string name, double zenith, double slope) {
    Observation o;
    o.name = std::move(name);
    o.zenith = zenith;
    o.slope = slope;
    o.rod = 1.524;
    return o;
  };
  run.setups.push_back({"line 1",
                        {obs(U"BM1", 323910, 30.48), obs(U"A,\u00e9\u0416", 324000, 3.048),
                         obs(U"TP1", 324100, 60.96)}});
  run.setups.push_back({"line 4", {obs(U"TP1", 323990, 15.24), obs(U"BM2", 324005, 15.24)}});
  return run;
}

TEST(WriteFieldFile, WholeFileInFeetForDos) {
  const FieldFileText text = WriteFieldFile(TwoSetups(), {.units = Units::kFeet,
                                                          .dos = true,
                                                          .source_name = "Stra\xc3\x9f"
                                                                         "e 1\xb0.gsi",
                                                          .kind = "GSI"});
  EXPECT_EQ(text.bytes,
            "Converted by quarrow-convert from GSI file Stra??e 1?.gsi; units: feet\r\n"
            "1,BM1,89\xf8"
            "58'30.00,100.0000,5.0000\r\n"
            "1,A;\x82?,90\xf8"
            "00'00.00,10.0000,5.0000\r\n"
            "1,TP1,90\xf8"
            "01'40.00,200.0000,5.0000\r\n"
            "2,TP1,89\xf8"
            "59'50.00,50.0000,5.0000\r\n"
            "2,BM2,90\xf8"
            "00'05.00,50.0000,5.0000\r\n");
  EXPECT_EQ(text.names_changed, 1);
  EXPECT_EQ(text.unmappable, 1);
  EXPECT_EQ(text.commas, 1);
}

TEST(WriteFieldFile, TheFirstLineNamesSourceAndUnitsAndIsPassedOver) {
  struct Row {
    Units units;
    const char* kind;
    const char* first_line;
  };
  const Row rows[] = {
      {Units::kMetric, "JobXML",
       "Converted by quarrow-convert from JobXML file run.jxl; units: metric\r\n"},
      {Units::kFeet, "GSI", "Converted by quarrow-convert from GSI file run.jxl; units: feet\r\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.first_line);
    const std::string bytes =
        WriteFieldFile(TwoSetups(),
                       {.units = row.units, .source_name = "run.jxl", .kind = row.kind})
            .bytes;
    const std::string first = bytes.substr(0, bytes.find('\n') + 1);
    EXPECT_EQ(first, row.first_line);
    // The reader passes over a line without the degree sign.
    EXPECT_EQ(first.find('\xb0'), std::string::npos);
  }
}

}  // namespace
}  // namespace quarrow
