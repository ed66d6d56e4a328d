// The Qt platform's answers about files, dates and the locale.

#include "platform/qt_platform.h"

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

TEST(QtPlatform, NumbersFollowTheLocale) {
  TestPlatform platform;
  struct Row {
    const char* locale;
    std::string text;
    bool ok;
    double value;
  } rows[] = {
      {"C", "99.91", true, 99.91},
      {"C", "-430.512", true, -430.512},
      {"de_DE", "99,91", true, 99.91},
      {"de_DE", "99.91", false, 0},
      {"C", "", false, 0},
      {"C", "abc", false, 0},
      {"C", "inf", false, 0},
      {"C", "nan", false, 0},
      {"C", "1e400", false, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.locale) + " " + row.text);
    QLocale::setDefault(QLocale(row.locale));
    double value = -1;
    EXPECT_EQ(platform.ReadLocaleNumber(row.text, value), row.ok);
    if (row.ok) {
      EXPECT_EQ(value, row.value);
    }
  }
  QLocale::setDefault(QLocale::system());
}

}  // namespace
}  // namespace quarrow

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
