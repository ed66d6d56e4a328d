// The steps before an adjustment, in their order: a later step never runs,
// and nothing is stored, once an earlier one has stopped the adjustment.

#include "shell/prepare_adjustment.h"

#include <gtest/gtest.h>

#include "tests/support/fake_platform.h"

namespace quarrow {
namespace {

constexpr double kEarlierElevation = -1;

struct Row {
  const char* what;
  AdjustRequest request;
  std::vector<std::string> existing;  // files besides the field file "run.txt"
  std::deque<MessageAnswer> answers;  // to the overwrite question
  Preparation result;
  std::vector<std::string> boxes;  // every box's text, in order
  std::string report_path;         // ReportPath afterwards
};

AdjustRequest Request(std::optional<std::string> report, std::string begin = "100",
                      std::string end = "99,91", Units units = Units::kMetric) {
  return {"run.txt", std::move(report), std::move(begin), std::move(end), units};
}

TEST(PrepareAdjustment, StepsInOrder) {
  const std::string kQuestion = "run.adj exists.\r\nDo you want to overwrite it?";
  const Row rows[] = {
      {"ready, report proposed beside the field file",
       Request(std::nullopt),
       {},
       {},
       Preparation::kReady,
       {},
       "run.adj"},
      {"missing field file: no question even with a report in the way",
       {"gone.txt", "run.adj", "100", "99,91", Units::kMetric},
       {"run.adj"},
       {},
       Preparation::kStopped,
       {"File Does Not Exist\r\ngone.txt"},
       "run.adj"},
      {"empty report name",
       Request(""),
       {},
       {},
       Preparation::kStopped,
       {"No Report File Named\r\nType, drop or select the name of the report file."},
       ""},
      {"report over the field file, before the question",
       Request("run.txt"),
       {},
       {},
       Preparation::kStopped,
       {"The report file would replace the level file itself:\r\nrun.txt\r\n"
        "Choose another name for the report file."},
       "run.txt"},
      {"existing report kept",
       Request("run.adj"),
       {"run.adj"},
       {MessageAnswer::kNo},
       Preparation::kStopped,
       {kQuestion},
       "run.adj"},
      {"existing report replaced",
       Request("run.adj"),
       {"run.adj"},
       {MessageAnswer::kYes},
       Preparation::kReady,
       {kQuestion},
       "run.adj"},
      {"beginning elevation after the question",
       Request("run.adj", "abc"),
       {"run.adj"},
       {MessageAnswer::kYes},
       Preparation::kBeginNotNumber,
       {kQuestion},
       "run.adj"},
      {"beginning elevation empty",
       Request("run.adj", ""),
       {},
       {},
       Preparation::kBeginNotNumber,
       {},
       "run.adj"},
      {"ending elevation in the wrong locale's form",
       Request("run.adj", "100", "99.91"),
       {},
       {},
       Preparation::kEndNotNumber,
       {},
       "run.adj"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    FakePlatform platform;
    platform.decimal_separator = ",";
    platform.files["run.txt"] = ExampleFieldFile();
    for (const std::string& path : row.existing) platform.files[path] = "earlier";
    platform.answers = row.answers;
    RunState rs;
    rs.BeginElev = rs.EndElev = kEarlierElevation;
    rs.UnitMark = '?';

    EXPECT_EQ(PrepareAdjustment(rs, platform, row.request), row.result);
    std::vector<std::string> boxes;
    for (const MessageBoxSpec& box : platform.shown) boxes.push_back(box.text);
    EXPECT_EQ(boxes, row.boxes);
    EXPECT_EQ(rs.ReportPath, row.report_path);
    if (row.result == Preparation::kReady) {
      EXPECT_EQ(rs.BeginElev, 100);
      EXPECT_EQ(rs.EndElev, 99.91);
      EXPECT_EQ(rs.UnitMark, 'm');
    } else {
      EXPECT_EQ(rs.BeginElev, kEarlierElevation);
      EXPECT_EQ(rs.EndElev, kEarlierElevation);
      EXPECT_EQ(rs.UnitMark, '?');
    }
    EXPECT_EQ(platform.files["run.txt"], ExampleFieldFile());
  }
}

TEST(PrepareAdjustment, QuestionIsYesNoWithTheQuestionIcon) {
  FakePlatform platform;
  platform.files["run.txt"] = ExampleFieldFile();
  platform.files["run.adj"] = "earlier";
  RunState rs;
  PrepareAdjustment(rs, platform, Request("run.adj", "100", "99.91"));
  ASSERT_EQ(platform.shown.size(), 1u);
  EXPECT_EQ(platform.shown[0].title, "Output File Exists");
  EXPECT_EQ(platform.shown[0].icon, MessageIcon::kQuestion);
  EXPECT_EQ(platform.shown[0].buttons, MessageButtons::kYesNo);
}

TEST(PrepareAdjustment, UnitsSetTheReportsLabelAndMark) {
  for (Units units : {Units::kFeet, Units::kMetric}) {
    FakePlatform platform;
    platform.files["run.txt"] = ExampleFieldFile();
    RunState rs;
    ASSERT_EQ(PrepareAdjustment(rs, platform, Request(std::nullopt, "100", "99.91", units)),
              Preparation::kReady);
    const bool feet = units == Units::kFeet;
    EXPECT_EQ(rs.UnitsLabel, feet ? "English Units" : "Metric Units");
    EXPECT_EQ(rs.UnitMark, feet ? '\'' : 'm');
  }
}

}  // namespace
}  // namespace quarrow
