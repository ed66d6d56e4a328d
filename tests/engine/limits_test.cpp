// The data model's limits, handled soundly rather than by luck.

#include <gtest/gtest.h>

#include "tests/support/fake_platform.h"

namespace quarrow {
namespace {

TEST(Limits, MoreBadTurnsThanSixteenBitsCount) {
  // 40000 setups, each with a backsight 20 m longer or shorter than its
  // foresight, alternately, so that the run as a whole stays balanced.
  std::string run;
  for (int setup = 1; setup <= 40000; ++setup) {
    const std::string id = std::to_string(setup);
    const bool odd = setup % 2 != 0;
    run += id + ",P,90\xb0," + (odd ? "30" : "10") + ",0\r\n";
    run += id + ",P,90\xb0," + (odd ? "10" : "30") + ",0\r\n";
  }
  FakePlatform platform;
  platform.files["run.txt"] = run;
  platform.answers = {MessageAnswer::kOk};
  RunState rs;
  EXPECT_EQ(CheckAndAdjust(platform, rs, 100, 100), AdjustOutcome::kFailsSpecifications);
  EXPECT_EQ(rs.TurnErrors, 40000);
  ASSERT_EQ(platform.shown.size(), 1u);
  EXPECT_EQ(platform.shown[0].title, "Quarrow Encountered 40000 Errors");
  EXPECT_EQ(platform.shown[0].text, "40000 turns exceed the maximum BS - FS differential.");
  const std::string line = "| ** 40000 turns exceed the maximum BS - FS differential of 10m.";
  EXPECT_NE(platform.files["run.adj"].find(line + std::string(80 - 1 - line.size(), ' ') + "|\r\n"),
            std::string::npos);
}

TEST(Limits, HugeDistancesWriteLongSummaryLinesWhole) {
  FakePlatform platform;
  platform.files["run.txt"] = FieldFile({"1,A,90~,1e300,0", "1,B,90~,1e300,0"});
  RunState rs;
  EXPECT_EQ(CheckAndAdjust(platform, rs, 1e300, 1e300), AdjustOutcome::kMeetsSpecifications);
  const std::string& report = platform.files["run.adj"];
  // The run length line runs past column 80: written whole, without a bar.
  const std::size_t line = report.find("| The level run length is 2000000000");
  ASSERT_NE(line, std::string::npos);
  const std::size_t end = report.find("\r\n", line);
  EXPECT_GT(end - line, 300u);
  EXPECT_EQ(report.substr(end - 6, 6), ".000m.");
  EXPECT_EQ(report.substr(report.size() - 84), "\r\n" + rs.BorderLine + "\r\n");
}

TEST(Limits, NotANumberElevationIsRefused) {
  // The shells refuse such elevations; the engine still never writes them.
  FakePlatform platform;
  platform.files["run.txt"] = ExampleFieldFile();
  RunState rs;
  EXPECT_EQ(CheckAndAdjust(platform, rs, std::numeric_limits<double>::quiet_NaN(), 100),
            AdjustOutcome::kFailed);
  EXPECT_EQ(platform.files.count("run.adj"), 0u);
  ASSERT_EQ(platform.shown.size(), 1u);
  EXPECT_EQ(platform.shown[0].text,
            "The level run cannot be computed: a reading or an elevation is too large.\r\n"
            "No report was written.");
}

TEST(Limits, OddBytesInTheFieldFile) {
  struct Row {
    const char* what;
    std::string bytes;
  } rows[] = {
      {"NUL bytes in names", std::string("1,B\0M,90\xb0,10,0\r\n1,T\0P,90\xb0,10,0\r\n", 32)},
      {"lone CR and lone LF", "1,A,90\xb0,10,0\r1,B,90\xb0,10,0\n"},
      {"no final line end", "1,A,90\xb0,10,0\r\n1,B,90\xb0,10,0"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    FakePlatform platform;
    platform.files["run.txt"] = row.bytes;
    RunState rs;
    EXPECT_EQ(CheckAndAdjust(platform, rs, 100, 100), AdjustOutcome::kMeetsSpecifications);
    EXPECT_EQ(rs.ShotPattern, "0");
    EXPECT_EQ(rs.RunLength, 20);
  }
}

}  // namespace
}  // namespace quarrow
