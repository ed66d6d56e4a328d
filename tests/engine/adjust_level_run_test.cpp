#include "shell/adjust_level_run.h"

#include <gtest/gtest.h>

#include <functional>

#include "shell/check_input_file.h"
#include "tests/support/fake_platform.h"

namespace quarrow {
namespace {

// A run of level sights (zenith 90, rod height 0): every elevation equals the
// beginning one and horizontal distances equal the slope distances given as
// {backsight, foresight} for each setup.
std::string LevelRun(std::initializer_list<std::pair<double, double>> setups) {
  std::string text;
  int setup = 0;
  for (const auto& [bs, fs] : setups) {
    const std::string id = std::to_string(++setup);
    text += id + ",P" + std::to_string(setup - 1) + ",90\xb0," + std::to_string(bs) + ",0\r\n";
    text += id + ",P" + id + ",90\xb0," + std::to_string(fs) + ",0\r\n";
  }
  return text;
}

class Adjust : public testing::Test {
 protected:
  AdjustOutcome Run(const std::string& field_file, double end_elev = 100, bool feet = false) {
    platform.files["run.txt"] = field_file;
    return CheckAndAdjust(platform, rs, 100, end_elev, feet);
  }

  bool ReportWritten() const { return platform.files.count("run.adj") != 0; }

  FakePlatform platform;
  RunState rs;
};

TEST_F(Adjust, FailedTestsAreCountedAndShownInOrder) {
  struct Row {
    const char* what;
    std::string field_file;
    double end_elev;
    std::string title;
    std::string text;
  } rows[] = {
      {"one long turn; the other exactly at the limit", LevelRun({{60, 45}, {45, 55}}), 100,
       "Quarrow Encountered One Error", "One turn exceeds the maximum BS - FS differential."},
      {"two long turns, balanced in total", LevelRun({{60, 40}, {40, 60}}), 100,
       "Quarrow Encountered 2 Errors", "2 turns exceed the maximum BS - FS differential."},
      {"only the misclosure", LevelRun({{50, 50}}), 100.5, "Quarrow Encountered One Error",
       "The elevation misclosure exceeds the allowed maximum."},
      {"everything", LevelRun({{60, 40}, {60, 40}}), 99, "Quarrow Encountered 4 Errors",
       "2 turns exceed the maximum BS - FS differential.\r\n"
       "The level run exceeds the maximum BS - FS differential.\r\n"
       "The elevation misclosure exceeds the allowed maximum."},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    platform = FakePlatform();
    platform.answers = {MessageAnswer::kOk};
    EXPECT_EQ(Run(row.field_file, row.end_elev), AdjustOutcome::kFailsSpecifications);
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].title, row.title);
    EXPECT_EQ(platform.shown[0].text, row.text);
    EXPECT_EQ(platform.shown[0].icon, MessageIcon::kNone);
    EXPECT_EQ(platform.shown[0].buttons, MessageButtons::kOkCancel);
    EXPECT_TRUE(ReportWritten());
  }
}

TEST_F(Adjust, CancelAtFailedTestsWritesNothing) {
  platform.files["run.adj"] = "yesterday's report";
  platform.answers = {MessageAnswer::kCancel};
  EXPECT_EQ(Run(LevelRun({{50, 50}}), 101), AdjustOutcome::kCancelled);
  EXPECT_EQ(platform.files["run.adj"], "yesterday's report");
  EXPECT_TRUE(platform.viewed.empty());
}

TEST_F(Adjust, OneSetupRun) {
  EXPECT_EQ(Run(LevelRun({{30, 31}}), 100.002), AdjustOutcome::kMeetsSpecifications);
  EXPECT_EQ(rs.ShotPattern, "0");
  EXPECT_EQ(rs.RunLength, 61);
  EXPECT_NEAR(rs.CorrPerUnit, 0.002 / 61, 1e-15);
  EXPECT_EQ(platform.viewed, std::vector<std::string>{"run.adj"});
}

TEST_F(Adjust, ShotPatternGroupsSideShots) {
  const std::string file =
      FieldFile({"1,A,90~,10,0", "1,S1,90~,5,0", "1,S2,90~,5,0", "1,B,90~,10,0", "2,B,90~,10,0",
                 "2,C,90~,10,0", "3,C,90~,10,0", "3,S3,90~,10,0", "3,D,90~,10,0"});
  EXPECT_EQ(Run(file), AdjustOutcome::kMeetsSpecifications);
  EXPECT_EQ(rs.ShotPattern, "110010");
  EXPECT_EQ(rs.FirstMark, "A");
  EXPECT_EQ(rs.RunLength, 60);  // side shots carry nothing and count no distance
}

TEST_F(Adjust, TheLineAfterABacksightIsAlwaysItsForesight) {
  // Setup 2's foresight carries a stray identifier; it still belongs to 2.
  const std::string file = FieldFile({"1,A,90~,10,0", "1,B,90~,10,0", "2,B,90~,10,0",
                                      "9,C,90~,10,0", "3,C,90~,10,0", "3,D,90~,10,0"});
  EXPECT_EQ(Run(file), AdjustOutcome::kMeetsSpecifications);
  EXPECT_EQ(rs.ShotPattern, "000");
}

// Faults a careful program must survive without writing a wrong report.
TEST_F(Adjust, RunWithoutLengthIsRefused) {
  struct Row {
    const char* what;
    std::string field_file;
    std::string first_line;
  } rows[] = {
      {"all distances zero", LevelRun({{0, 0}}), "The level run length is 0.000m."},
      {"face-two readings", FieldFile({"1,A,270~,10,0", "1,B,270~,10,0"}),
       "The level run length is -20.000m."},
      {"distance too large", FieldFile({"1,A,90~,1e400,0", "1,B,90~,1,0"}),
       "The level run cannot be computed: a reading or an elevation is too large."},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    platform = FakePlatform();
    platform.files["run.adj"] = "old";
    EXPECT_EQ(Run(row.field_file), AdjustOutcome::kFailed);
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].title, "Quarrow Error");
    EXPECT_EQ(platform.shown[0].text.substr(0, row.first_line.size()), row.first_line);
    EXPECT_EQ(platform.files["run.adj"], "old");
  }
}

TEST_F(Adjust, ReportThatCannotBeWrittenLeavesTheOldOne) {
  struct Row {
    const char* what;
    bool fail_create;
    std::size_t fail_after_bytes;
    bool fail_commit;
    std::string reason;
  } rows[] = {
      {"cannot be created", true, static_cast<std::size_t>(-1), false, "Permission denied"},
      {"disk full while writing", false, 100, false, "No space left on device"},
      {"cannot be moved into place", false, static_cast<std::size_t>(-1), true, "Could not rename"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    platform = FakePlatform();
    platform.files["run.adj"] = "old";
    platform.fail_create = row.fail_create;
    platform.fail_after_bytes = row.fail_after_bytes;
    platform.fail_commit = row.fail_commit;
    EXPECT_EQ(Run(ExampleFieldFile(), 99.91), AdjustOutcome::kFailed);
    EXPECT_EQ(platform.files["run.adj"], "old");
    EXPECT_TRUE(platform.viewed.empty());
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].text, "Unable To Write Report File:\r\nrun.adj\r\n" + row.reason);
  }
}

TEST_F(Adjust, FieldFileChangedBetweenThePasses) {
  const std::string example = ExampleFieldFile();
  struct Row {
    const char* what;
    int at_open;  // 1: before the closure pass, 2: before the report pass
    std::function<void(std::string&)> change;
    bool removed;
    std::string first_line;
  } rows[] = {
      {"removed before the closure pass", 1, nullptr, true, "Unable To Open Specified File:"},
      {"emptied before the closure pass", 1, [](std::string& f) { f.clear(); }, false,
       "The level file changed or could not be read while it was being adjusted:"},
      {"removed before the report pass", 2, nullptr, true, "The level file changed"},
      {"truncated before the report pass", 2, [](std::string& f) { f.resize(f.size() / 2); }, false,
       "The level file changed"},
      {"a reading rewritten", 2, [](std::string& f) { f[f.find("52.114")] = '6'; }, false,
       "The level file changed"},
      {"a footer added", 2, [](std::string& f) { f += "checked by RK\r\n"; }, false,
       "The level file changed"},
      {"a setup added", 2,
       [](std::string& f) {
         f += FieldFile({"3,BM2,90~,1,0", "3,X,90~,1,0"});
       },
       false, "The level file changed"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    platform = FakePlatform();
    platform.files["run.adj"] = "old";
    // Open 0 is the check; 1 the closure pass; 2 the report pass.
    platform.before_open = [&row](FakePlatform& p, int opens) {
      if (opens != row.at_open) return;
      if (row.removed) {
        p.files.erase("run.txt");
      } else {
        row.change(p.files["run.txt"]);
      }
    };
    EXPECT_EQ(Run(example, 99.91), AdjustOutcome::kFailed);
    EXPECT_EQ(platform.files["run.adj"], "old");
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].title, "Quarrow Error");
    EXPECT_EQ(platform.shown[0].text.substr(0, row.first_line.size()), row.first_line);
  }
}

}  // namespace
}  // namespace quarrow
