// The choices the headless tool adds to an adjustment: curvature and
// refraction, distribution by setups, and what a listener is told. Without
// them every report stays as the golden files have it.

#include <gtest/gtest.h>

#include <cmath>

#include "engine/reduction.h"
#include "shell/adjust_level_run.h"
#include "tests/support/fake_platform.h"

namespace quarrow {
namespace {

// Remembers what the report pass tells, names and setups copied out.
struct RecordedPoint {
  std::string name, setup;
  PointRole role;
  double distance, raw, correction, adjusted;
};

class Recorder : public RunListener {
 public:
  void Begin(const ThirdOrderVerdict& verdict) override { error_tally = verdict.FailedTests(); }
  void Point(const RunPoint& p) override {
    points.push_back({std::string(p.name), std::string(p.setup), p.role, p.distance,
                      p.raw_elevation, p.correction, p.adjusted_elevation});
  }
  void Setup(const SetupSights& s) override { sights.push_back(s.backsight_distance); }
  bool Finish() override { return finish; }

  std::int64_t error_tally = -1;
  std::vector<RecordedPoint> points;
  std::vector<double> sights;
  bool finish = true;
};

TEST(CurvatureAndRefraction, TheTextbookSizeOnAKilometreSight) {
  // A level sight of 1000 m with k = 0.13: (1 - 0.13) x 1000^2 / (2 x 6371000)
  // = 0.0683 m; the same sight in feet on the radius in feet.
  const struct {
    const char* line;
    char unit;
    double gain;
  } rows[] = {
      {"P,90\xb0"
       "00'00,1000,0",
       'm', 0.068278},
      {"P,90\xb0"
       "00'00,3280.84,0",
       '\'', 0.224010},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.unit);
    RunState rs;
    rs.DegreeMark = '\xb0';
    rs.UnitMark = row.unit;
    rs.CurvatureApplied = true;
    rs.RefractionK = 0.13;
    rs.LineBuffer = row.line;
    ReadBacksight(rs);
    EXPECT_NEAR(rs.BsVd, row.gain, 5e-7);
    rs.LineBuffer = row.line;
    ReadForesight(rs);
    EXPECT_NEAR(rs.FsVd, row.gain, 5e-7);
    // Both ends of a balanced setup gain alike, so its difference stays.
    EXPECT_NEAR(rs.Elev, rs.BsElev, 1e-12);
  }
}

class Options : public testing::Test {
 protected:
  AdjustOutcome Adjust(const std::string& field_file, double end_elev) {
    platform.files["run.txt"] = field_file;
    InitialiseFrames(rs);
    rs.InputPath = "run.txt";
    rs.ReportPath = "run.adj";
    rs.DegreeMark = '\xb0';
    rs.BeginElev = 100;
    rs.EndElev = end_elev;
    rs.UnitsLabel = "Metric Units";
    rs.UnitMark = 'm';
    return AdjustLevelRun(rs, platform, &recorder);
  }
  FakePlatform platform;
  RunState rs;
  Recorder recorder;
};

TEST_F(Options, ListenerHearsEveryLineOfTheReportInOrder) {
  ASSERT_EQ(Adjust(ExampleFieldFile(), 99.91), AdjustOutcome::kMeetsSpecifications);
  const std::vector<RecordedPoint>& p = recorder.points;
  ASSERT_EQ(p.size(), 4u);
  EXPECT_EQ(recorder.error_tally, 0);
  const std::pair<const char*, PointRole> expected[] = {{"BM1", PointRole::kBegin},
                                                        {"SS1", PointRole::kSide},
                                                        {"TP1", PointRole::kTurn},
                                                        {"BM2", PointRole::kEnd}};
  for (std::size_t i = 0; i < p.size(); ++i) {
    EXPECT_EQ(p[i].name, expected[i].first);
    EXPECT_EQ(p[i].role, expected[i].second);
  }
  EXPECT_EQ(p[0].setup, "1");  // the beginning mark: the first setup
  EXPECT_EQ(p[3].setup, "2");
  EXPECT_EQ(p[1].distance, p[0].distance + recorder.sights[0]);  // at the instrument
  EXPECT_EQ(p[3].adjusted, p[3].raw + p[3].correction);
  EXPECT_NEAR(p[3].adjusted, 99.91, 1e-12);
}

TEST_F(Options, ListenerThatFailsKeepsTheReportOut) {
  platform.files["run.adj"] = "earlier";
  recorder.finish = false;
  EXPECT_EQ(Adjust(ExampleFieldFile(), 99.91), AdjustOutcome::kFailed);
  EXPECT_EQ(platform.files["run.adj"], "earlier");
}

TEST_F(Options, DistributionBySetupsGivesEachSetupAnEqualShare) {
  // Three setups with a side shot in the second; misclosure 0.003 m, so a
  // share is 0.001 m whatever the distances.
  const std::string field_file =
      FieldFile({"1,BM1,90~00'00,10,1.5", "1,TP1,90~00'00,12,1.5", "2,TP1,90~00'00,30,1.5",
                 "2,SS1,90~00'00,5,1.0", "2,TP2,90~00'00,30,1.5", "3,TP2,90~00'00,70,1.5",
                 "3,BM2,90~00'00,68,1.5"});
  rs.DistributeBySetups = true;
  ASSERT_EQ(Adjust(field_file, 100.003), AdjustOutcome::kMeetsSpecifications);
  const std::vector<RecordedPoint>& p = recorder.points;
  ASSERT_EQ(p.size(), 5u);
  // The side shot of setup 2 stands half way between TP1's share and TP2's.
  const double expected[] = {0, 0.001, 0.0015, 0.002, 0.003};
  const char* names[] = {"BM1", "TP1", "SS1", "TP2", "BM2"};
  for (std::size_t i = 0; i < p.size(); ++i) {
    SCOPED_TRACE(names[i]);
    EXPECT_EQ(p[i].name, names[i]);
    EXPECT_NEAR(p[i].correction, expected[i], 1e-15);
  }
  EXPECT_EQ(p.back().correction, rs.Misclosure);  // the whole misclosure, exactly
  EXPECT_NEAR(p.back().adjusted, 100.003, 1e-12);
  EXPECT_EQ(rs.SetupCount, 3);
  EXPECT_NE(
      platform.files["run.adj"].find("| The misclosure was distributed equally over 3 setups."),
      std::string::npos);
}

TEST_F(Options, OneSetupIsOneShare) {
  rs.DistributeBySetups = true;
  ASSERT_EQ(Adjust(FieldFile({"1,BM1,90~00'00,10,1.5", "1,BM2,90~00'00,10,1.5"}), 100.001),
            AdjustOutcome::kMeetsSpecifications);
  EXPECT_NE(platform.files["run.adj"].find("over 1 setup.  "), std::string::npos);
}

TEST(ByteOrderMark, SkippedAtTheStartOfTheFile) {
  FakePlatform plain;
  FakePlatform marked;
  plain.files["run.txt"] = ExampleFieldFile();
  marked.files["run.txt"] = "\xEF\xBB\xBF" + ExampleFieldFile();
  RunState first;
  RunState second;
  ASSERT_EQ(CheckAndAdjust(plain, first, 100, 99.91), AdjustOutcome::kMeetsSpecifications);
  ASSERT_EQ(CheckAndAdjust(marked, second, 100, 99.91), AdjustOutcome::kMeetsSpecifications);
  EXPECT_EQ(marked.files["run.adj"], plain.files["run.adj"]);
}

}  // namespace
}  // namespace quarrow
