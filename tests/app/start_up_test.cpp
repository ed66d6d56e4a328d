// Main: the field file from the command line, as a file dropped on the
// program's icon arrives, and the window it opens.

#include <gtest/gtest.h>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTemporaryDir>

#include "app/start_up.h"
#include "shell/command_line.h"
#include "tests/app/scripted_desktop.h"

namespace quarrow {
namespace {

TEST(TrimBlanks, TrimsBlanksOnlyAndOnlyAtTheEnds) {
  struct Row {
    const char* text;
    const char* trimmed;
  };
  const Row rows[] = {
      {"", ""},
      {"    ", ""},
      {"  run.txt  ", "run.txt"},
      {"my run.txt", "my run.txt"},
      {"\trun.txt ", "\trun.txt"},
      {" run.txt\t", "run.txt\t"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(TrimBlanks(row.text), row.trimmed);
  }
}

class StartUp : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    field_file = folder.filePath("county road.txt");
    WriteBytes(field_file, ExampleFieldFile());
  }
  std::unique_ptr<frmMain> Start(const QStringList& arguments) {
    return Main(rs, platform, services, QStringList{"quarrow"} + arguments);
  }
  static QString BoxText(frmMain& window, const char* name) {
    return window.findChild<QLineEdit*>(name)->text();
  }

  QTemporaryDir folder;
  QString field_file;
  Transcript transcript;
  ScriptedPlatform platform{transcript};
  ScriptedServices services{transcript};
  RunState rs;
};

TEST_F(StartUp, WithoutAFileBothBoxesAreEmptyAndNothingIsSaid) {
  for (const QStringList& arguments : {QStringList{}, QStringList{""}, QStringList{"   "}}) {
    SCOPED_TRACE(arguments.join('|').toStdString());
    rs = RunState();
    const auto window = Start(arguments);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(BoxText(*window, "txtLvlFile"), "");
    EXPECT_EQ(BoxText(*window, "txtRptFile"), "");
    EXPECT_EQ(rs.BorderLine, "+" + std::string(78, '-') + "+");
    EXPECT_EQ(rs.FrameFill, std::string(79, ' ') + "|");
    EXPECT_EQ(transcript, Transcript{});
  }
}

TEST_F(StartUp, AUsableFileFillsBothBoxesAndLaterArgumentsAreIgnored) {
  const auto window = Start({"  " + field_file + " ", folder.filePath("second.txt")});
  EXPECT_EQ(transcript, Transcript{});
  EXPECT_EQ(BoxText(*window, "txtLvlFile"), field_file);
  EXPECT_EQ(BoxText(*window, "txtRptFile"), folder.filePath("county road.adj"));
  EXPECT_EQ(rs.LastFolder, QtPlatform::FromQString(folder.path()));
  EXPECT_EQ(rs.FileState, kFileUsable);
}

TEST_F(StartUp, AFileThatFailsShowsInTheFieldBoxWithAnEmptyReportBox) {
  const QString missing = folder.filePath("not here.txt");
  const auto window = Start({missing});
  EXPECT_EQ(transcript, Transcript{"box Quarrow Error"});
  ASSERT_EQ(platform.shown.size(), 1u);
  EXPECT_EQ(platform.shown[0].text, "File Does Not Exist\r\n" + QtPlatform::FromQString(missing));
  EXPECT_EQ(BoxText(*window, "txtLvlFile"), missing);
  EXPECT_EQ(BoxText(*window, "txtRptFile"), "");
}

TEST_F(StartUp, TheWindowOpensCentredOnTheScreen) {
  const auto window = Start({});
  const QRect screen = window->screen()->availableGeometry();
  const QPoint off_centre = window->geometry().center() - screen.center();
  EXPECT_LE(off_centre.manhattanLength(), 2);
}

}  // namespace
}  // namespace quarrow
