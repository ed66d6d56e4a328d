// The Qt platform's answers about paths, files, dates and the locale.

#include "qt_platform.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

namespace quarrow {
namespace {

// Only the message boxes are left to the window and the tool.
class TestPlatform : public QtPlatform {
 public:
  MessageAnswer ShowMessage(const MessageBoxSpec&) override { return MessageAnswer::kOk; }
};

TEST(QtPlatform, PathParts) {
  TestPlatform platform;
  struct Row {
    std::string path;
    std::string folder;
    std::string base;
  } rows[] = {
      {"run.txt", "", "run"},
      {"/jobs/run.txt", "/jobs", "run"},
      {"/run.txt", "/", "run"},
      {"jobs//run.txt", "jobs", "run"},
      {"/jobs/level.run.csv", "/jobs", "level.run"},
      {"/jobs/Road 9 (final)/run 2.txt", "/jobs/Road 9 (final)", "run 2"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    EXPECT_EQ(platform.ParentFolderName(row.path), row.folder);
    EXPECT_EQ(platform.BaseName(row.path), row.base);
  }
  EXPECT_EQ(platform.BuildPath("", "run.adj"), "run.adj");
  EXPECT_EQ(platform.BuildPath("/", "run.adj"), "/run.adj");
  EXPECT_EQ(platform.BuildPath("/jobs", "run.adj"), "/jobs/run.adj");
}

TEST(QtPlatform, FilesFoldersAndSpecialFiles) {
  QTemporaryDir dir;
  const std::string root = dir.path().toStdString();
  TestPlatform platform;
  QFile file(dir.filePath("run.txt"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("x");
  file.close();
  ASSERT_EQ(::mkfifo((root + "/pipe").c_str(), 0600), 0);
  ASSERT_TRUE(QFile::link(dir.filePath("run.txt"), dir.filePath("link.txt")));

  EXPECT_TRUE(platform.FileExists(root + "/run.txt"));
  EXPECT_FALSE(platform.FileExists(root));
  EXPECT_FALSE(platform.FileExists(""));
  EXPECT_FALSE(platform.FileExists(root + "/none"));
  EXPECT_NE(platform.OpenForReading(root + "/run.txt"), nullptr);
  EXPECT_EQ(platform.OpenForReading(root), nullptr);            // a folder
  EXPECT_EQ(platform.OpenForReading(root + "/pipe"), nullptr);  // would wait for ever
  EXPECT_TRUE(platform.IsSameFile(root + "/link.txt", root + "/run.txt"));
  EXPECT_TRUE(platform.IsSameFile(
      root + "/../" + dir.path().section('/', -1).toStdString() + "/run.txt", root + "/run.txt"));
  EXPECT_FALSE(platform.IsSameFile(root + "/run.adj", root + "/run.txt"));
}

TEST(QtPlatform, TodayFromSourceDateEpoch) {
  TestPlatform platform;
  qputenv("SOURCE_DATE_EPOCH", "1796558400");
  const CivilDate day = platform.Today();
  EXPECT_EQ(day.year, 2026);
  EXPECT_EQ(day.month, 12);
  EXPECT_EQ(day.day, 6);
  qputenv("SOURCE_DATE_EPOCH", "86399");  // the last second of the first day, in UTC
  EXPECT_EQ(platform.Today().day, 1);
  qunsetenv("SOURCE_DATE_EPOCH");
}

TEST(QtPlatform, SeparatorsFollowTheLocale) {
  TestPlatform platform;
  struct Row {
    const char* locale;
    std::string decimal;
    std::string date;
  } rows[] = {{"C", ".", "/"}, {"en_US", ".", "/"}, {"de_DE", ",", "."}, {"nl_NL", ",", "-"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.locale);
    QLocale::setDefault(QLocale(row.locale));
    EXPECT_EQ(platform.DecimalSeparator(), row.decimal);
    EXPECT_EQ(platform.DateSeparator(), row.date);
  }
  QLocale::setDefault(QLocale::system());
}

}  // namespace
}  // namespace quarrow

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
