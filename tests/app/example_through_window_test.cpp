// The worked example done by hand through the window: start with the field
// file as the argument, type 100 and 99.91, choose metric, press Adjust. The
// report must be byte for byte the one quarrow-adjust writes on the same day.

#include <gtest/gtest.h>
#include <QLineEdit>
#include <QLocale>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/start_up.h"
#include "engine/version.h"
#include "tests/app/scripted_desktop.h"

namespace quarrow {
namespace {

TEST(ExampleThroughWindow, ReportMatchesTheHeadlessToolByteForByte) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString field_file = folder.filePath("run.txt");
  const QString report_file = folder.filePath("run.adj");
  const QString tool_report = folder.filePath("by the tool.adj");
  WriteBytes(field_file, ExampleFieldFile());
  // Both read the date from here, and the numbers with the same locale.
  qputenv("SOURCE_DATE_EPOCH", "1796515200");
  QLocale::setDefault(QLocale::system());
  const QString point = QLocale().decimalPoint();

  QProcess tool;
  tool.start(QUARROW_ADJUST_BINARY,
             {"--begin", "100", "--end", "99" + point + "91", "--units", "metric", field_file});
  ASSERT_TRUE(tool.waitForFinished(30000));
  ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
  ASSERT_TRUE(QFile::rename(report_file, tool_report));

  Transcript transcript;
  ScriptedPlatform platform(transcript);
  ScriptedServices services(transcript);
  RunState rs;
  const auto window = Main(rs, platform, services, {"quarrow", field_file});
  EXPECT_EQ(window->findChild<QLineEdit*>("txtRptFile")->text(), report_file);
  QTest::keyClicks(window->findChild<QLineEdit*>("txtBegElev"), "100");
  QTest::keyClicks(window->findChild<QLineEdit*>("txtEndElev"), "99" + point + "91");
  QTest::mouseClick(window->findChild<QRadioButton*>("btnMeter"), Qt::LeftButton);
  QTest::mouseClick(window->findChild<QPushButton*>("btnAdjust"), Qt::LeftButton);

  EXPECT_EQ(transcript, Transcript{"viewer " + QtPlatform::FromQString(report_file)});
  const std::string report = ReadBytes(report_file);
  EXPECT_EQ(report, ReadBytes(tool_report));
  EXPECT_TRUE(report.starts_with("Drevak Level Run Report (Version " + std::string(kVersionText) +
                                 ") Metric Units"));
  EXPECT_NE(report.find("| The actual closing error is 0" + point.toStdString() + "002m."),
            std::string::npos);
  qunsetenv("SOURCE_DATE_EPOCH");
}

}  // namespace
}  // namespace quarrow
