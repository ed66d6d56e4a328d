// frmMain's handlers, driven through the scripted desktop on real files:
// what each asks, in which order, and what RunState and the boxes hold after.

#include <gtest/gtest.h>
#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "app/frm_main.h"
#include "engine/version.h"
#include "tests/app/scripted_desktop.h"

namespace quarrow {
namespace {

using Lines = std::vector<std::string>;

class MainWindowHandlers : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    QLocale::setDefault(QLocale::c());
    InitialiseFrames(rs);
    field_file = Path("run.txt");
    report_file = Path("run.adj");
    WriteBytes(field_file, ExampleFieldFile());
    window = std::make_unique<frmMain>(rs, platform, services);
  }
  void TearDown() override { QLocale::setDefault(QLocale::system()); }

  QString Path(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }
  static std::string Bytes(const QString& path) { return QtPlatform::FromQString(path); }

  template <typename Control>
  Control* Find(const char* name) {
    auto* control = window->findChild<Control*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  QLineEdit* Box(const char* name) { return Find<QLineEdit>(name); }

  // The boxes as a user would fill them before pressing Adjust.
  void Fill(const QString& field, const QString& report, const QString& begin, const QString& end,
            bool metric) {
    Box("txtLvlFile")->setText(field);
    Box("txtRptFile")->setText(report);
    Box("txtBegElev")->setText(begin);
    Box("txtEndElev")->setText(end);
    Find<QRadioButton>(metric ? "btnMeter" : "btnFoot")->setChecked(true);
  }

  // Elevations and units a previous Adjust left, to see a refusal keep them.
  void RememberPreviousAdjust() {
    rs.BeginElev = 11;
    rs.EndElev = 22;
    rs.UnitsLabel = "English Units";
    rs.UnitMark = '\'';
  }
  void ExpectPreviousAdjustKept() {
    EXPECT_EQ(rs.BeginElev, 11);
    EXPECT_EQ(rs.EndElev, 22);
    EXPECT_EQ(rs.UnitsLabel, "English Units");
    EXPECT_EQ(rs.UnitMark, '\'');
  }

  std::string FirstLineShown() const {
    if (platform.shown.empty()) return "<no box>";
    const std::string& text = platform.shown.front().text;
    return text.substr(0, text.find("\r\n"));
  }

  QTemporaryDir folder;
  QString field_file;
  QString report_file;
  Transcript transcript;
  ScriptedPlatform platform{transcript};
  ScriptedServices services{transcript};
  RunState rs;
  std::unique_ptr<frmMain> window;
};

// --- Adjust -----------------------------------------------------------------

TEST_F(MainWindowHandlers, AdjustWritesTheReportInTheChosenUnitsAndOpensIt) {
  for (const bool metric : {true, false}) {
    SCOPED_TRACE(metric ? "metric" : "feet");
    transcript.clear();
    QFile::remove(report_file);
    Fill(field_file, report_file, "100", "99.91", metric);
    window->btnAdjust_Click();
    EXPECT_EQ(transcript, Lines{"viewer " + Bytes(report_file)});
    EXPECT_EQ(rs.BeginElev, 100);
    EXPECT_EQ(rs.EndElev, 99.91);
    EXPECT_EQ(rs.UnitsLabel, metric ? "Metric Units" : "English Units");
    EXPECT_EQ(rs.UnitMark, metric ? 'm' : '\'');
    EXPECT_NE(ReadBytes(report_file).find(metric ? "of 10m." : "of 33'."), std::string::npos);
  }
}

TEST_F(MainWindowHandlers, AdjustIgnoresBlanksAroundPathsButLeavesTheBoxes) {
  const QString padded_field = "  " + field_file + " ";
  const QString padded_report = " " + report_file + "  ";
  Fill(padded_field, padded_report, "100", "99.91", true);
  window->btnAdjust_Click();
  EXPECT_EQ(rs.InputPath, Bytes(field_file));
  EXPECT_EQ(rs.ReportPath, Bytes(report_file));
  EXPECT_EQ(Box("txtLvlFile")->text(), padded_field);
  EXPECT_EQ(Box("txtRptFile")->text(), padded_report);
  EXPECT_EQ(transcript, Lines{"viewer " + Bytes(report_file)});
}

// Every way Adjust stops before the engine runs. Each shows one box, writes
// no report, leaves the field file alone, and keeps the elevations and units
// of the previous Adjust.
TEST_F(MainWindowHandlers, AdjustStopsBeforeComputing) {
  struct Row {
    const char* field;   // in the folder; "" = the example
    const char* report;  // in the folder; "" = run.adj; blanks stay blanks
    bool report_exists;  // run.adj holds an earlier report
    const char* begin;
    const char* end;
    const char* box;         // its title, after which Adjust stopped
    const char* first_line;  // of its text; "<report>" stands for run.adj's path
  };
  // clang-format off
  const Row rows[] = {
      {"gone.txt",  "",        true,  "100",   "99.91", "Quarrow Error",      "File Does Not Exist"},
      // An unusable field file is refused before any overwrite question.
      {"notes.txt", "",        true,  "100",   "99.91", "Quarrow Error",      "Unrecognized File Format in"},
      {"",          "",        true,  "100",   "99.91", "Output File Exists", "<report> exists."},
      // The elevations are read only after the No.
      {"",          "",        true,  "abc",   "",      "Output File Exists", "<report> exists."},
      {"",          "   ",     false, "100",   "99.91", "Quarrow Error",      "No Report File Named"},
      {"",          "run.txt", false, "100",   "99.91", "Quarrow Error",      "The report file would replace the level file itself:"},
      {"",          "",        false, "",      "99.91", "Quarrow Error",      "Beginning Elevation Is Not A Number:"},
      {"",          "",        false, "100",   "abc",   "Quarrow Error",      "Ending Elevation Is Not A Number:"},
      {"",          "",        false, "100,5", "99.91", "Quarrow Error",      "Beginning Elevation Is Not A Number:"},
      {"",          "",        false, "100",   "inf",   "Quarrow Error",      "Ending Elevation Is Not A Number:"},
      {"",          "",        false, "1e999", "99.91", "Quarrow Error",      "Beginning Elevation Is Not A Number:"},
  };
  // clang-format on
  WriteBytes(Path("notes.txt"), "no observations here\r\n");
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.first_line) + " " + row.begin + " " + row.end);
    transcript.clear();
    platform.shown.clear();
    platform.answers = {MessageAnswer::kNo};
    RememberPreviousAdjust();
    QFile::remove(report_file);
    if (row.report_exists) WriteBytes(report_file, "earlier report");
    const QString report = *row.report == '\0'                       ? report_file
                           : QString(row.report).trimmed().isEmpty() ? QString(row.report)
                                                                     : Path(row.report);
    Fill(*row.field ? Path(row.field) : field_file, report, row.begin, row.end, true);

    window->btnAdjust_Click();

    EXPECT_EQ(transcript, Lines{std::string("box ") + row.box});
    std::string first_line = row.first_line;
    if (first_line.starts_with("<report>")) first_line.replace(0, 8, Bytes(report_file));
    EXPECT_EQ(FirstLineShown(), first_line);
    EXPECT_EQ(ReadBytes(report_file), row.report_exists ? "earlier report" : "<missing>");
    EXPECT_EQ(ReadBytes(field_file), ExampleFieldFile());
    ExpectPreviousAdjustKept();
  }
}

TEST_F(MainWindowHandlers, OverwriteQuestionIsAYesNoQuestionNamingTheReport) {
  WriteBytes(report_file, "earlier report");
  platform.answers = {MessageAnswer::kNo, MessageAnswer::kYes};
  Fill(field_file, report_file, "100", "99.91", true);
  window->btnAdjust_Click();
  ASSERT_EQ(platform.shown.size(), 1u);
  const MessageBoxSpec question = platform.shown.front();
  EXPECT_EQ(question.text, Bytes(report_file) + " exists.\r\nDo you want to overwrite it?");
  EXPECT_EQ(question.icon, MessageIcon::kQuestion);
  EXPECT_EQ(question.buttons, MessageButtons::kYesNo);
  EXPECT_EQ(rs.MessageText, question.text);
  EXPECT_EQ(ReadBytes(report_file), "earlier report");

  window->btnAdjust_Click();
  EXPECT_EQ(transcript, (Lines{"box Output File Exists", "box Output File Exists",
                               "viewer " + Bytes(report_file)}));
  EXPECT_NE(ReadBytes(report_file), "earlier report");
}

TEST_F(MainWindowHandlers, RefusedElevationNamesTheBoxAndShowsWhatWasTyped) {
  Fill(field_file, report_file, "12x", "99.91", true);
  window->btnAdjust_Click();
  ASSERT_EQ(platform.shown.size(), 1u);
  EXPECT_EQ(platform.shown[0].title, "Quarrow Error");
  EXPECT_EQ(platform.shown[0].icon, MessageIcon::kCritical);
  EXPECT_EQ(platform.shown[0].text,
            "Beginning Elevation Is Not A Number:\r\n\"12x\"\r\n"
            "Type the published elevation, as in 100.000.");
}

TEST_F(MainWindowHandlers, ElevationsAreReadWithTheUsersLocale) {
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  Fill(field_file, report_file, "100", "99,91", true);
  window->btnAdjust_Click();
  EXPECT_EQ(rs.EndElev, 99.91);
  EXPECT_EQ(transcript, Lines{"viewer " + Bytes(report_file)});
}

// --- Keyboard -------------------------------------------------------------

TEST_F(MainWindowHandlers, EnterPressesAdjustAndEscPressesExit) {
  window->show();
  QTest::keyClick(Box("txtEndElev"), Qt::Key_Return);
  EXPECT_EQ(transcript, Lines{"box Quarrow Error"});  // empty field box: no such file
  EXPECT_EQ(FirstLineShown(), "File Does Not Exist");
  transcript.clear();
  QTest::keyClick(Box("txtBegElev"), Qt::Key_Escape);
  EXPECT_EQ(transcript, Lines{"end"});
  transcript.clear();
  QTest::keyClick(Find<QPushButton>("btnExit"), Qt::Key_Return);
  EXPECT_EQ(transcript, Lines{"end"});
}

// --- Field-file selection ------------------------------------------------

TEST_F(MainWindowHandlers, SelectedFieldFileIsCheckedAndProposesItsReport) {
  rs.LastFolder = "/survey/earlier";
  services.dialog_answers = {field_file};
  window->btnGetLvl_Click();
  EXPECT_EQ(transcript, Lines{"open Select The Project Dump File"});
  ASSERT_EQ(services.dialogs.size(), 1u);
  EXPECT_EQ(services.dialogs[0].InitDir, "/survey/earlier");
  EXPECT_EQ(services.dialogs[0].FileName, "");
  EXPECT_EQ(Box("txtLvlFile")->text(), field_file);
  EXPECT_EQ(Box("txtRptFile")->text(), report_file);
  EXPECT_EQ(rs.LastFolder, Bytes(folder.path()));
  EXPECT_EQ(rs.ReportPath, Bytes(report_file));
}

TEST_F(MainWindowHandlers, FieldFileSelectionThatChangesNothing) {
  struct Row {
    const char* what;
    QString in_box;
    std::optional<QString> answer;
    Lines asked;
  };
  const std::string open = "open Select The Project Dump File";
  const QString missing = Path("missing.txt");
  // clang-format off
  const Row rows[] = {
      {"Cancel",                                  "typed.txt",           std::nullopt, {open}},
      {"the same name is not tested again",       missing,               missing,      {open}},
      {"a missing file is reported",              "typed.txt",           missing,      {open, "box Quarrow Error"}},
      {"a name differing in case is a new choice", Path("Missing.txt"), missing,      {open, "box Quarrow Error"}},
  };
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    transcript.clear();
    Box("txtLvlFile")->setText(row.in_box);
    Box("txtRptFile")->setText("report.adj");
    rs.LastFolder = "kept";
    rs.ReportPath = "kept.adj";
    services.dialog_answers = {row.answer};
    window->btnGetLvl_Click();
    EXPECT_EQ(transcript, row.asked);
    EXPECT_EQ(services.dialogs.back().FileName, row.in_box);
    EXPECT_EQ(Box("txtLvlFile")->text(), row.in_box);
    EXPECT_EQ(Box("txtRptFile")->text(), "report.adj");
    EXPECT_EQ(rs.LastFolder, "kept");
    EXPECT_EQ(rs.ReportPath, "kept.adj");
  }
}

TEST_F(MainWindowHandlers, OpenDialogKeepsItsFileNameBetweenUses) {
  services.dialog_answers = {field_file, std::nullopt};
  window->btnGetLvl_Click();
  Box("txtLvlFile")->clear();
  window->btnGetLvl_Click();
  ASSERT_EQ(services.dialogs.size(), 2u);
  EXPECT_EQ(services.dialogs[1].FileName, field_file);
  EXPECT_EQ(services.dialogs[1].InitDir, folder.path());
  EXPECT_EQ(window->cdgGetLvl.FileName, field_file);
}

// --- Report-file selection -----------------------------------------------

TEST_F(MainWindowHandlers, SelectedReportFileIsTakenUntestedAndCancelChangesNothing) {
  Box("txtRptFile")->setText("old.adj");
  rs.ReportPath = "kept.adj";
  services.dialog_answers = {std::nullopt, Path("elsewhere.txt")};
  window->btnGetRpt_Click();
  EXPECT_EQ(Box("txtRptFile")->text(), "old.adj");
  EXPECT_EQ(rs.ReportPath, "kept.adj");
  window->btnGetRpt_Click();
  EXPECT_EQ(transcript, Lines(2, "save Select The Report File"));
  ASSERT_EQ(services.dialogs.size(), 2u);
  EXPECT_EQ(services.dialogs[1].FileName, "old.adj");
  EXPECT_EQ(services.dialogs[1].InitDir, "");
  EXPECT_EQ(Box("txtRptFile")->text(), Path("elsewhere.txt"));
  EXPECT_EQ(rs.ReportPath, Bytes(Path("elsewhere.txt")));
}

TEST_F(MainWindowHandlers, FileMenuItemsPressTheSelectButtons) {
  services.dialog_answers = {std::nullopt, std::nullopt};
  Find<QAction>("mnuLvl")->trigger();
  Find<QAction>("mnuRpt")->trigger();
  EXPECT_EQ(transcript,
            (Lines{"open Select The Project Dump File", "save Select The Report File"}));
}

// --- Drops -----------------------------------------------------------------

std::unique_ptr<QMimeData> Dropped(const QStringList& files, const QString& text = {}) {
  auto data = std::make_unique<QMimeData>();
  QList<QUrl> urls;
  for (const QString& file : files) {
    urls << (file.startsWith("http") ? QUrl(file) : QUrl::fromLocalFile(file));
  }
  if (!urls.isEmpty()) data->setUrls(urls);
  if (!text.isEmpty()) data->setText(text);
  return data;
}

// A drag entering a box and dropping there, as the desktop delivers it.
void DragAndDrop(QWidget* box, const QMimeData& data) {
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(box, &enter);
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(box, &drop);
}

// The first file dropped is taken; on the field-file box it is checked and
// proposes its report; dragged text changes nothing.
TEST_F(MainWindowHandlers, DropsOnTheFileBoxes) {
  struct Row {
    const char* box;
    const char* what;
    QStringList files;
    QString field_box;  // what the two boxes hold after
    QString report_box;
    Lines asked;
  };
  const QString other = Path("other.txt");
  WriteBytes(other, ExampleFieldFile());
  const QString web = "https://example.com/x.txt";
  // clang-format off
  const Row rows[] = {
      {"txtLvlFile", "one file",               {field_file},                             field_file, report_file,  {}},
      {"txtLvlFile", "three files: the first", {field_file, other, Path("third.txt")},   field_file, report_file,  {}},
      {"txtLvlFile", "a web address first",    {web, field_file},                        field_file, report_file,  {}},
      {"txtLvlFile", "dragged text",           {},                                       "before",   "before.adj", {}},
      {"txtLvlFile", "a missing file",         {Path("missing.txt")},                    "before",   "before.adj", {"box Quarrow Error"}},
      {"txtRptFile", "one file, not a report", {Path("notes.txt")},                      "before",   Path("notes.txt"), {}},
      {"txtRptFile", "three files: the first", {Path("a.adj"), Path("b.adj"), Path("c.adj")}, "before", Path("a.adj"), {}},
      {"txtRptFile", "dragged text",           {},                                       "before",   "before.adj", {}},
      {"txtLvlFile", "a name that is no UTF-8", {folder.filePath(QString::fromUtf8("caf\uFFFD.txt"))},                "before",   "before.adj", {"box Quarrow Error"}},
      {"txtRptFile", "a name that is no UTF-8", {folder.filePath(QString::fromUtf8("r\uFFFDport.adj"))},              "before",   "before.adj", {"box Quarrow Error"}},
  };
  // clang-format on
  window->show();
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.box) + ": " + row.what);
    transcript.clear();
    Box("txtLvlFile")->setText("before");
    Box("txtRptFile")->setText("before.adj");
    rs.ReportPath = "kept.adj";
    DragAndDrop(Box(row.box), *Dropped(row.files, "dragged text"));
    EXPECT_EQ(transcript, row.asked);
    EXPECT_EQ(Box("txtLvlFile")->text(), row.field_box);
    EXPECT_EQ(Box("txtRptFile")->text(), row.report_box);
    if (row.field_box == "before") EXPECT_EQ(rs.ReportPath, "kept.adj");
  }
}

// A field file that names its units in its first line (as the converter
// writes them) selects them; one that names none leaves the choice alone.
TEST_F(MainWindowHandlers, AcceptedFieldFileSelectsTheUnitsItNames) {
  const QString metric = Path("converted.txt");
  WriteBytes(metric, "Converted by quarrow-convert from GSI file run.gsi; units: metric\r\n" +
                         ExampleFieldFile());
  window->show();
  Find<QRadioButton>("btnFoot")->setChecked(true);
  DragAndDrop(Box("txtLvlFile"), *Dropped({metric}));
  EXPECT_TRUE(Find<QRadioButton>("btnMeter")->isChecked());
  DragAndDrop(Box("txtLvlFile"), *Dropped({field_file}));
  EXPECT_TRUE(Find<QRadioButton>("btnMeter")->isChecked());
  EXPECT_EQ(transcript, Lines{});
}

// --- Exit, Help, guide, About ----------------------------------------------

TEST_F(MainWindowHandlers, ExitButtonAndExitTitleEndTheProgram) {
  Find<QPushButton>("btnExit")->click();
  Find<QAction>("mnuExit")->trigger();
  EXPECT_EQ(transcript, (Lines{"end", "end"}));
}

TEST_F(MainWindowHandlers, HelpItemShowsTheHelpMessage) {
  Find<QAction>("mnuHelp")->trigger();
  EXPECT_EQ(transcript, Lines{"box Quarrow Help"});
  ASSERT_EQ(platform.shown.size(), 1u);
  const MessageBoxSpec& help = platform.shown[0];
  EXPECT_EQ(help.icon, MessageIcon::kNone);
  EXPECT_EQ(help.buttons, MessageButtons::kOk);
  const QStringList lines = QString::fromStdString(help.text).split("\r\n");
  ASSERT_EQ(lines.size(), 4);
  EXPECT_EQ(lines[0], "The help file is not available at this time.");
  EXPECT_EQ(lines[1], "");
  EXPECT_TRUE(lines[2].contains("Quarrow Support"));
  EXPECT_TRUE(lines[2].contains(QRegularExpression("555-01\\d\\d")));
  EXPECT_TRUE(lines[2].endsWith(","));
  EXPECT_TRUE(lines[3].startsWith("    ") && !lines[3].startsWith("     "));
  EXPECT_TRUE(lines[3].endsWith("PDF file (installed with Quarrow)."));
}

TEST_F(MainWindowHandlers, GuideOpensFromTheProgramsFolderAndFailsSilently) {
  const QString guide = QCoreApplication::applicationDirPath() + "/Trimble Level Run.pdf";
  for (const bool opens : {false, true}) {
    SCOPED_TRACE(opens ? "opened" : "no viewer or no guide");
    transcript.clear();
    services.document_opens = opens;
    Find<QAction>("mnuPDF")->trigger();
    EXPECT_EQ(transcript, Lines{"document " + guide.toStdString()});
    EXPECT_EQ(rs.ShellResult, opens ? 1 : 0);
    EXPECT_EQ(rs.MessageText, "\"" + Bytes(guide) + "\"");
    EXPECT_TRUE(platform.shown.empty());
  }
}

TEST_F(MainWindowHandlers, AboutItemShowsAFreshAboutBoxModally) {
  QStringList versions;
  services.inspect_modal = [&](QDialog& about) {
    EXPECT_EQ(about.parentWidget(), window.get());
    versions << about.findChild<QLabel*>("lblVersion")->text();
  };
  Find<QAction>("mnuAbout")->trigger();
  Find<QAction>("mnuAbout")->trigger();
  EXPECT_EQ(transcript, (Lines{"modal frmAbout", "modal frmAbout"}));
  EXPECT_EQ(versions, QStringList(2, QString("Version %1    December 16, 2009").arg(kVersionText)));
}

}  // namespace
}  // namespace quarrow
