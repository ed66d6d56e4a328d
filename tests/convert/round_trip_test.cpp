// The strongest check of the converter: every example and golden run is
// recorded again by the test helpers as each format a collector writes,
// converted back, adjusted, and the report must equal the reviewed golden
// report. Only the setup labels differ: the converter numbers setups 1, 2,
// 3...
//
// The encodings are those whose resolution carries the runs' values
// exactly: GSI zeniths in sexagesimal tenths of a second, lengths in 0.01 mm
// or 0.0001 ft (1 mm and 0.001 ft where the run has no finer digits), JobXML
// in shortest round-trip decimals. Gon, decimal degrees and mil cannot hold
// whole seconds exactly; GSI's are checked on their own in gsi_reader_test,
// and the raw formats write them with enough decimals to come back to the
// same hundredth of a second.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "convert/converter.h"
#include "tests/convert/raw_writers.h"
#include "tests/convert/survey_writers.h"
#include "tests/support/fake_platform.h"

namespace quarrow {
namespace {

using testing_support::FieldRun;
using testing_support::GsiStyle;
using testing_support::JobXmlStyle;
using testing_support::RawStyle;

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

struct GoldenRun {
  const char* golden;      // tests/golden/<golden>.adj
  std::string field_file;  // the run as recorded
  double begin_elev;
  double end_elev;
  bool feet;
  AdjustOutcome outcome;
  std::size_t longest_name;  // GSI-8 holds 8 characters, GSI-16 16
};

const std::string kData = QUARROW_TEST_DATA;
const std::string kExamples = QUARROW_EXAMPLES;

const GoldenRun kRuns[] = {
    {"example", kData + "/example.txt", 100, 99.91, false, AdjustOutcome::kMeetsSpecifications, 3},
    {"county-road-feet", kExamples + "/county-road-feet.txt", 432.187, 438.405, true,
     AdjustOutcome::kMeetsSpecifications, 10},
    {"kessel-creek-dos", kExamples + "/kessel-creek-dos.txt", 56.482, 56.851, false,
     AdjustOutcome::kMeetsSpecifications, 10},
    {"failing-feet", kData + "/failing-feet.txt", 100, 99, true,
     AdjustOutcome::kFailsSpecifications, 5},
    {"long-names", kData + "/long-names.txt", 123456789.123, 123456789.12, false,
     AdjustOutcome::kFailsSpecifications, 99},
};

// The golden report with its setup labels ("  @01   ") renumbered in order.
// Consecutive setups always carry different labels in a field file.
std::string RenumberSetups(const std::string& report) {
  std::string out;
  std::string previous;
  int number = 0;
  std::istringstream lines(report);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind("  @", 0) == 0 && line.size() >= 9) {
      const std::string label = line.substr(3, 6);
      if (label != previous) ++number;
      previous = label;
      std::string replacement = std::to_string(number);
      replacement.resize(6, ' ');
      line.replace(3, 6, replacement);
    }
    out += line + "\n";
  }
  return out;
}

void ExpectGoldenReport(const GoldenRun& run, const std::string& recorded,
                        const ConvertOptions& options) {
  Conversion conversion;
  try {
    conversion = Convert(recorded, options);
  } catch (const ConvertError& error) {
    FAIL() << error.what() << "\n" << recorded;
  }
  EXPECT_EQ(conversion.units, run.feet ? Units::kFeet : Units::kMetric);
  FakePlatform platform;
  platform.answers = {MessageAnswer::kOk};
  platform.files["run.txt"] = conversion.text.bytes;
  RunState rs;
  EXPECT_EQ(CheckAndAdjust(platform, rs, run.begin_elev, run.end_elev, run.feet), run.outcome);
  const std::string golden = ReadBytes(std::string(QUARROW_GOLDEN) + "/" + run.golden + ".adj");
  ASSERT_FALSE(golden.empty());
  EXPECT_EQ(platform.files["run.adj"], RenumberSetups(golden)) << conversion.text.bytes;
}

struct JobXmlVariant {
  const char* what;
  JobXmlStyle style;
};

TEST(RoundTrip, JobXmlGivesTheGoldenReport) {
  const JobXmlVariant variants[] = {
      {"plain", {}},
      {"PPM applied, prism constant, both faces with an index error",
       {.ppm = 12.5, .prism_constant = -0.0304, .both_faces = true, .index_error = 4.5}},
      {"atmosphere named by the station, a later one ignored",
       {.ppm = -7, .atmosphere_named_by_station = true, .prism_constant = 0.0175}},
      {"PPM recorded but not to be applied", {.ppm = 80, .apply_ppm = false}},
      {"deleted, check, mean and keyed records passed over", {.noise_records = true}},
      {"backsight from the back bearing, side shots after the foresight",
       {.both_faces = true, .back_bearing = true, .side_shots_last = true}},
      {"averaged records only, classified backsights", {.means_only = true}},
      {"averaged records only, backsight from the back bearing, angle-only records",
       {.back_bearing = true, .means_only = true, .angle_only_shots = true}},
      {"one target ID for every target record, PPM and prism constant",
       {.ppm = 4, .prism_constant = -0.0344, .both_faces = true, .repeated_target_ids = true}},
  };
  for (const GoldenRun& run : kRuns) {
    const FieldRun field_run = testing_support::ReadFieldRun(ReadBytes(run.field_file));
    for (const JobXmlVariant& variant : variants) {
      SCOPED_TRACE(std::string(run.golden) + ", JobXML " + variant.what);
      JobXmlStyle style = variant.style;
      style.feet = run.feet;
      ConvertOptions options;
      if (run.feet) options.units = Units::kFeet;
      ExpectGoldenReport(run, testing_support::WriteJobXml(field_run, style), options);
    }
  }
}

struct GsiVariant {
  const char* what;
  GsiStyle style;
};

TEST(RoundTrip, GsiGivesTheGoldenReport) {
  const GsiVariant variants[] = {
      {"GSI-8, rod on every block", {}},
      {"GSI-8, both faces, rods carried over",
       {.both_faces = true, .index_error_tenths = -35, .rod_every_block = false}},
      {"GSI-16, station blocks, side shots after the foresight, rods carried over",
       {.gsi16 = true, .station_blocks = true, .rod_every_block = false, .side_shots_last = true}},
      {"GSI-16, station blocks, both faces",
       {.gsi16 = true, .station_blocks = true, .both_faces = true, .index_error_tenths = 125}},
      {"GSI-16, no station blocks, coarse units", {.gsi16 = true, .length_unit = '0'}},
      {"GSI-8, code blocks, side shots after the foresight, instrument height in every block",
       {.side_shots_last = true, .code_blocks = true, .instrument_height_every_block = true}},
      {"GSI-16, no marks, both faces, instrument height in every block, angle-only shots",
       {.gsi16 = true,
        .both_faces = true,
        .instrument_height_every_block = true,
        .angle_only_shots = true}},
  };
  int runs_recorded = 0;
  for (const GoldenRun& run : kRuns) {
    const FieldRun field_run = testing_support::ReadFieldRun(ReadBytes(run.field_file));
    for (const GsiVariant& variant : variants) {
      GsiStyle style = variant.style;
      if (run.longest_name > (style.gsi16 ? 16u : 8u)) continue;
      ++runs_recorded;
      SCOPED_TRACE(std::string(run.golden) + ", " + variant.what);
      style.feet = run.feet;
      if (run.feet) style.length_unit = style.length_unit == '0' ? '1' : '7';
      ExpectGoldenReport(run, testing_support::WriteGsi(field_run, style), ConvertOptions{});
    }
  }
  // Names too long for a GSI word leave some runs out; not all of them.
  EXPECT_EQ(runs_recorded, 22);
}

// The raw formats, each in several units. A variant's lengths are the
// file's: for a run in feet a file in metres is converted (and the field
// file asked for in feet), for a run in metres a file in feet likewise; a
// run in feet recorded in US survey feet keeps its numbers.
constexpr LengthUnit kMetres = LengthUnit::kMetre;
constexpr LengthUnit kFeet = LengthUnit::kInternationalFoot;
constexpr LengthUnit kSurveyFeet = LengthUnit::kUsSurveyFoot;

ConvertOptions OptionsFor(const GoldenRun& run, RawStyle& raw) {
  raw.run_in_feet = run.feet;
  ConvertOptions options;
  const bool file_in_feet = raw.length != LengthUnit::kMetre;
  if (run.feet != file_in_feet) options.units = run.feet ? Units::kFeet : Units::kMetric;
  return options;
}

// Stricter than the report, which rounds heights to the millimetre: every
// observation comes back to the tenth of a second and the 0.1 mm.
void ExpectTheSameObservations(const FieldRun& expected, const std::string& recorded,
                               const ConvertOptions& options) {
  Conversion conversion;
  try {
    conversion = Convert(recorded, options);
  } catch (const ConvertError&) {
    return;  // ExpectGoldenReport has said so
  }
  const FieldRun got = testing_support::ReadFieldRun(conversion.text.bytes);
  ASSERT_EQ(got.setups.size(), expected.setups.size());
  for (std::size_t s = 0; s < got.setups.size(); ++s) {
    ASSERT_EQ(got.setups[s].size(), expected.setups[s].size()) << "setup " << s + 1;
    for (std::size_t i = 0; i < got.setups[s].size(); ++i) {
      const testing_support::FieldLine& a = got.setups[s][i];
      const testing_support::FieldLine& b = expected.setups[s][i];
      SCOPED_TRACE("setup " + std::to_string(s + 1) + ", " + b.name);
      EXPECT_EQ(a.name, b.name);
      EXPECT_EQ(a.zenith_tenths, b.zenith_tenths);
      EXPECT_NEAR(a.slope, b.slope, 1e-9);
      EXPECT_NEAR(a.rod, b.rod, 1e-9);
    }
  }
}

template <typename Style>
struct Variant {
  const char* what;
  Style style;
};

// Every golden run in every variant; `write` records it, `most` is the
// longest name the format holds.
template <typename Style, typename Write>
void ExpectEveryRun(const char* format, const std::vector<Variant<Style>>& variants, Write write,
                    std::size_t most = 1000) {
  for (const GoldenRun& run : kRuns) {
    if (run.longest_name > most) continue;
    const FieldRun field_run = testing_support::ReadFieldRun(ReadBytes(run.field_file));
    for (const Variant<Style>& variant : variants) {
      SCOPED_TRACE(std::string(run.golden) + ", " + format + " " + variant.what);
      Style style = variant.style;
      const ConvertOptions options = OptionsFor(run, style.raw);
      const std::string recorded = write(field_run, style);
      ExpectGoldenReport(run, recorded, options);
      ExpectTheSameObservations(field_run, recorded, options);
    }
  }
}

TEST(RoundTrip, Rw5GivesTheGoldenReport) {
  using testing_support::Rw5Style;
  const std::vector<Variant<Rw5Style>> variants = {
      {"metres, DMS, BD and FD records", {{.length = kMetres}}},
      {"international feet, gon, both faces, rods carried, side shots after the foresight",
       {{.length = kFeet,
         .angle = AngleUnit::kGon,
         .both_faces = true,
         .index_error_tenths = 45,
         .rod_carried = true,
         .side_shots_last = true}}},
      {"US survey feet, both faces, horizontal distances, notes",
       {.raw = {.length = kSurveyFeet, .both_faces = true, .index_error_tenths = -70},
        .horizontal_distances = true,
        .notes = true}},
      {"metres, gon, no roles but BK, side shots after the foresight",
       {{.length = kMetres,
         .angle = AngleUnit::kGon,
         .rod_carried = true,
         .side_shots_last = true,
         .no_roles = true}}},
  };
  ExpectEveryRun("RW5", variants, testing_support::WriteRw5);
}

TEST(RoundTrip, LandXmlGivesTheGoldenReport) {
  using testing_support::LandXmlStyle;
  const std::vector<Variant<LandXmlStyle>> variants = {
      {"metres, decimal degrees", {{.length = kMetres, .angle = AngleUnit::kDecimalDegree}}},
      {"US survey feet, dd.mm.ss, both faces, side shots last, groups, check shots",
       {.raw = {.length = kSurveyFeet,
                .angle = AngleUnit::kPackedDms,
                .both_faces = true,
                .side_shots_last = true},
        .observation_groups = true,
        .check_shots = true}},
      {"international feet, grads, HeXML, both faces",
       {.raw = {.length = kFeet,
                .angle = AngleUnit::kGon,
                .both_faces = true,
                .index_error_tenths = 31},
        .hexml = true}},
      {"metres, radians, purpose normal, side shots last",
       {{.length = kMetres,
         .angle = AngleUnit::kRadian,
         .side_shots_last = true,
         .no_roles = true}}},
  };
  ExpectEveryRun("LandXML", variants, testing_support::WriteLandXml);
}

TEST(RoundTrip, SdrGivesTheGoldenReport) {
  using testing_support::SdrStyle;
  const std::vector<Variant<SdrStyle>> variants = {
      {"metres, decimal degrees", {{.length = kMetres, .angle = AngleUnit::kDecimalDegree}}},
      {"feet, gon, both faces, MC means, rods carried, side shots last",
       {.raw = {.length = kFeet,
                .angle = AngleUnit::kGon,
                .both_faces = true,
                .index_error_tenths = -25,
                .rod_carried = true,
                .side_shots_last = true},
        .means = true}},
      {"metres, mil, both faces",
       {{.length = kMetres,
         .angle = AngleUnit::kMil,
         .both_faces = true,
         .index_error_tenths = 80}}},
  };
  ExpectEveryRun("SDR33", variants, testing_support::WriteSdr, 16);
}

TEST(RoundTrip, Gts7GivesTheGoldenReport) {
  using testing_support::Gts7Style;
  const std::vector<Variant<Gts7Style>> variants = {
      {"metres, DMS", {{.length = kMetres}}},
      {"feet, gon, both faces, rods carried, side shots last",
       {{.length = kFeet,
         .angle = AngleUnit::kGon,
         .both_faces = true,
         .index_error_tenths = 12,
         .rod_carried = true,
         .side_shots_last = true}}},
      {"metres, TH lines, both faces, SS headers only",
       {.raw = {.length = kMetres, .both_faces = true, .no_roles = true}, .th_records = true}},
  };
  ExpectEveryRun("GTS-7", variants, testing_support::WriteGts7);
}

// The summary counts what the crew did, whatever the file's kind.
TEST(RoundTrip, SummaryCountsTheRecordedRun) {
  const FieldRun field_run = testing_support::ReadFieldRun(ReadBytes(kData + "/example.txt"));
  const Conversion jobxml =
      Convert(testing_support::WriteJobXml(field_run, {.both_faces = true, .index_error = -6}), {});
  const Conversion gsi = Convert(
      testing_support::WriteGsi(field_run, {.both_faces = true, .index_error_tenths = -60}), {});
  const std::pair<const Conversion*, const char*> conversions[] = {
      {&jobxml, "metres, zenith angles in decimal degrees"},
      {&gsi, "metres, zenith angles in degrees, minutes and seconds"}};
  for (const auto& [c, units] : conversions) {
    SCOPED_TRACE(c->kind);
    EXPECT_EQ(SummaryText(*c), std::string("Setups: 2\n"
                                           "Observations: 5\n"
                                           "Side shots: 1\n"
                                           "Face pairs averaged: 5\n"
                                           "Largest index error: -6.0\" (BM1 in setup 1)\n"
                                           "Names changed: 0\n"
                                           "Units in the file: ") +
                                   units +
                                   "\n"
                                   "Choose metric units when you adjust this file.\n");
  }
}

}  // namespace
}  // namespace quarrow
