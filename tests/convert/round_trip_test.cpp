// The strongest check of the converter: every example and golden run is
// recorded again as a JobXML or GSI file by the test helpers, converted back,
// adjusted, and the report must equal the reviewed golden report. Only the
// setup labels differ: the converter numbers setups 1, 2, 3...
//
// The encodings are those whose resolution carries the runs' values
// exactly: GSI zeniths in sexagesimal tenths of a second, lengths in 0.01 mm
// or 0.0001 ft (1 mm and 0.001 ft where the run has no finer digits), JobXML
// in shortest round-trip decimals. Gon, decimal degrees and mil cannot hold
// whole seconds exactly; they are checked on their own in gsi_reader_test.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "convert/converter.h"
#include "tests/convert/survey_writers.h"
#include "tests/support/fake_platform.h"

namespace quarrow {
namespace {

using testing_support::FieldRun;
using testing_support::GsiStyle;
using testing_support::JobXmlStyle;

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
  EXPECT_EQ(conversion.feet, run.feet);
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
      options.units = run.feet ? UnitChoice::kFeet : UnitChoice::kFromFile;
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
