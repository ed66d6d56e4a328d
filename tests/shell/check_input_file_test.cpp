#include "shell/check_input_file.h"

#include <gtest/gtest.h>

#include "tests/support/fake_platform.h"

namespace quarrow {
namespace {

struct CheckCase {
  const char* what;
  std::string path;
  bool exists;
  std::string bytes;
  bool unreadable;
  std::uint8_t state;
  std::string message;  // "" when none is shown
  char degree_mark;
};

TEST(CheckInputFile, ReportsEachProblemWithThePath) {
  const std::string usable = FieldFile({"1,A,90~,1,0", "1,B,90~,1,0"});
  const CheckCase cases[] = {
      {"usable, Windows sign", "F/run.txt", true, usable, false, kFileUsable, "", '\xb0'},
      {"usable, DOS sign", "F/run.txt", true, FieldFile({"1,A,90~,1,0", "1,B,90~,1,0"}, '\xf8'),
       false, kFileUsable, "", '\xf8'},
      {"missing", "F/gone.txt", false, "", false, kFileUnavailable,
       "File Does Not Exist\r\nF/gone.txt", '\0'},
      {"empty path", "", false, "", false, kFileUnavailable, "File Does Not Exist\r\n", '\0'},
      {"empty file", "F/e.txt", true, "", false, kFileUnrecognised,
       "Unrecognized File Format in\r\nF/e.txt", '\xf8'},
      {"not a level file", "F/n.txt", true, "hello\r\nworld\r\n", false, kFileUnrecognised,
       "Unrecognized File Format in\r\nF/n.txt", '\xf8'},
      {"cannot be opened", "F/locked.txt", true, usable, true, kFileUnavailable,
       "Unable To Open Specified File:\r\nF/locked.txt", '\xb0'},
  };
  for (const CheckCase& c : cases) {
    for (CheckMode mode : {CheckMode::kCheckAndDerive, CheckMode::kCheckOnly}) {
      SCOPED_TRACE(std::string(c.what) +
                   (mode == CheckMode::kCheckOnly ? ", check only" : ", derive"));
      FakePlatform platform;
      if (c.exists) platform.files[c.path] = c.bytes;
      if (c.unreadable) platform.unreadable.push_back(c.path);
      RunState rs;
      rs.InputPath = c.path;
      rs.ReportPath = "before.adj";
      rs.LastFolder = "before";
      EXPECT_EQ(CheckInputFile(rs, platform, mode), c.state);
      EXPECT_EQ(rs.FileState, c.state);
      if (c.degree_mark != '\0') {
        EXPECT_EQ(rs.DegreeMark, c.degree_mark);
      }
      EXPECT_FALSE(rs.InFile.IsOpen());
      if (c.message.empty()) {
        EXPECT_TRUE(platform.shown.empty());
      } else {
        ASSERT_EQ(platform.shown.size(), 1u);
        EXPECT_EQ(platform.shown[0].title, "Quarrow Error");
        EXPECT_EQ(platform.shown[0].text, c.message);
        EXPECT_EQ(platform.shown[0].icon, MessageIcon::kCritical);
        EXPECT_EQ(platform.shown[0].buttons, MessageButtons::kOk);
      }
      const bool derived = c.state == kFileUsable && mode == CheckMode::kCheckAndDerive;
      EXPECT_EQ(rs.ReportPath, derived ? "F/run.adj" : "before.adj");
      EXPECT_EQ(rs.LastFolder, derived ? "F" : "before");
    }
  }
}

}  // namespace
}  // namespace quarrow
